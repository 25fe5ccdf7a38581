#!/usr/bin/env bash
# Saves a PNG of each wizard page into the given directory. Expects the display
# and the Wine prefix to be set up (as tools/start.sh and tools/test.sh do).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZARVO_BUILD:-$root/build}
out=$(realpath -m "${1:-$build/screenshots}")
mkdir -p "$out"
winpath() { echo "Z:$1" | tr / '\\'; }
wine "$build/wintest/tests/win/screenshots.exe" "$(winpath "$build/win32/ZarvoSetup.exe")" "$(winpath "$out")" \
    </dev/null
