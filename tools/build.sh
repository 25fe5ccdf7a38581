#!/usr/bin/env bash
# Builds, under build/: host/ the build-time tools and native tests (clang),
# win32/ the installer (mingw-w64 with win32 threads, which links nothing that
# Windows 2000 lacks), wintest/ the Windows tests (mingw-w64 with posix threads,
# which GoogleTest needs). Each tree rebuilds only what changed.
# Options (a build without one goes back to its default):
#   --installer      only the container tool and the unsigned installer
#   --payloads DIR   a release: the installer carries the product's files from
#                    DIR, laid out as installed, instead of the stand-ins; only
#                    the container tool, the installer and its package for the
#                    Windows Installer, signed as always
#   --version V      the product version, four numbers such as 1.1.0.2669 (the
#                    default)
#   --download-url U the address that the installer will be downloaded from,
#                    for the winget manifest written beside it (default
#                    https://download.example.com/zarvo/VERSION/ZarvoSetup.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZARVO_BUILD:-$root/build}
jobs=$(nproc)
host_targets=()
installer_targets=()
payload_setting=-UZARVO_PAYLOAD_DIR
version_setting=-UZARVO_VERSION
url_setting=-UZARVO_DOWNLOAD_URL
while [ $# -gt 0 ]; do
    case $1 in
        --installer)
            host_targets=(--target pack)
            installer_targets=(--target ZarvoSetup)
            shift
            ;;
        --payloads)
            folder=$(cd "${2:-}" 2>/dev/null && pwd) || {
                echo "build: --payloads needs the folder of the product's files; '${2:-}' is none." >&2
                exit 2
            }
            payload_setting=-DZARVO_PAYLOAD_DIR=$folder
            host_targets=(--target pack)
            [ ${#installer_targets[@]} -gt 0 ] || installer_targets=(--target winget_manifest --target msi_package)
            shift 2
            ;;
        --version)
            [ $# -ge 2 ] || { echo "build: --version needs a version, such as 1.1.0.2669." >&2; exit 2; }
            version_setting=-DZARVO_VERSION=$2
            shift 2
            ;;
        --download-url)
            [ $# -ge 2 ] || {
                echo "build: --download-url needs an address, such as https://download.example.com/ZarvoSetup.exe." >&2
                exit 2
            }
            url_setting=-DZARVO_DOWNLOAD_URL=$2
            shift 2
            ;;
        *)
            echo "build: unknown option $1 (known: --installer, --payloads DIR, --version V, --download-url U)." >&2
            exit 2
            ;;
    esac
done

"$root/tools/setup.sh"
configure() {
    local tree=$1
    shift
    mkdir -p "$build"
    local messages=$build/$tree-configure.log
    if cmake -S "$root" -B "$build/$tree" "$@" >/dev/null 2>"$messages"; then
        cat "$messages" >&2
        return
    fi
    # CMake frames a stop with the place in the build files that made it; the
    # builder needs the sentence, which CMake wraps.
    awk '/^CMake Error/ { inside = 1; next }
         inside && /^  / { sub(/^  /, ""); text = text (text == "" ? "" : " ") $0; next }
         inside { print "build: " text; inside = 0; text = "" }' "$messages" | grep . >&2 || cat "$messages" >&2
    exit 1
}
configure host -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build/host" -j "$jobs" "${host_targets[@]}"
windows=(-DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
    -DZARVO_HOST_BUILD="$build/host")
configure win32 "${windows[@]}" -DZARVO_MINGW_THREADS=win32 "$payload_setting" "$version_setting" "$url_setting"
cmake --build "$build/win32" -j "$jobs" "${installer_targets[@]}"
[ ${#installer_targets[@]} -eq 0 ] || exit 0
configure wintest "${windows[@]}" -DZARVO_MINGW_THREADS=posix -DZARVO_INSTALLER_BUILD="$build/win32"
cmake --build "$build/wintest" -j "$jobs"
