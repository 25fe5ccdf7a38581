#!/usr/bin/env bash
# Builds, under build/: host/ the build-time tools and native tests (clang),
# win32/ the installer (mingw-w64 with win32 threads, which links nothing that
# Windows 2000 lacks), wintest/ the Windows tests (mingw-w64 with posix threads,
# which GoogleTest needs). Each tree rebuilds only what changed.
# Options:
#   --installer      only the container tool and the unsigned installer
#   --version V      the product version, four numbers such as 1.1.0.2669 (the
#                    default); a build without the option goes back to it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZARVO_BUILD:-$root/build}
jobs=$(nproc)
host_targets=()
installer_targets=()
installer_settings=(-UZARVO_VERSION)
while [ $# -gt 0 ]; do
    case $1 in
        --installer)
            host_targets=(--target pack)
            installer_targets=(--target ZarvoSetup)
            shift
            ;;
        --version)
            [ $# -ge 2 ] || { echo "build: --version needs a version, such as 1.1.0.2669." >&2; exit 2; }
            installer_settings=(-DZARVO_VERSION="$2")
            shift 2
            ;;
        *)
            echo "build: unknown option $1 (known: --installer, --version V)." >&2
            exit 2
            ;;
    esac
done

"$root/tools/setup.sh"
configure() {
    local tree=$1
    shift
    cmake -S "$root" -B "$build/$tree" "$@" >/dev/null
}
configure host -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build/host" -j "$jobs" "${host_targets[@]}"
windows=(-DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
    -DZARVO_HOST_BUILD="$build/host")
configure win32 "${windows[@]}" -DZARVO_MINGW_THREADS=win32 "${installer_settings[@]}"
cmake --build "$build/win32" -j "$jobs" "${installer_targets[@]}"
[ ${#installer_targets[@]} -eq 0 ] || exit 0
configure wintest "${windows[@]}" -DZARVO_MINGW_THREADS=posix -DZARVO_INSTALLER_BUILD="$build/win32"
cmake --build "$build/wintest" -j "$jobs"
