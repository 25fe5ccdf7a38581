#!/usr/bin/env bash
# Saves a PNG of each wizard page into the given directory, at the display
# scale given in dots per inch (default 96): screenshots.sh [DIR] [DPI]. Expects
# the display and the Wine prefix to be set up (as tools/start.sh and
# tools/test.sh do); the prefix's own scale is put back afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZARVO_BUILD:-$root/build}
out=$(realpath -m "${1:-$build/screenshots}")
dpi=${2:-96}
mkdir -p "$out"
winpath() { echo "Z:$1" | tr / '\\'; }
scale() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
        /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
if [ "$dpi" != 96 ]; then
    scale "$dpi"
    trap 'scale 96' EXIT
fi
wine "$build/wintest/tests/win/screenshots.exe" "$(winpath "$build/win32/ZarvoSetup.exe")" "$(winpath "$out")" \
    </dev/null
