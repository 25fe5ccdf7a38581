#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, then makes
# sure Wine's 32-bit side runs. What is already in place is left alone, so a
# second run costs next to nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    cmake make g++ clang libclang-rt-14-dev zlib1g-dev libdeflate-dev libjpeg62-turbo-dev googletest
    g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
    binutils-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev
    osslsigncode wixl msitools faketime openssl python3 python3-jsonschema python3-yaml nsis strace
    wine wine32:i386 wine64 fonts-wine
    xvfb x11-utils xdotool fonts-wqy-microhei
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: packages are missing (${missing[*]}): run tools/setup.sh once as root to install them." >&2
        exit 1
    fi
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    source "$root/tools/apt.sh"
    apt_log=$(mktemp)
    if ! apt_install "$(apt_release)" "${missing[@]}"; then
        tail -n 5 "$apt_log" >&2
        rm -f "$apt_log"
        echo "setup: apt-get could not install ${missing[*]} (its last lines above): check that this machine reaches Debian's package archive." >&2
        exit 1
    fi
    rm -f "$apt_log"
fi
exec "$root/tools/wine32.sh"
