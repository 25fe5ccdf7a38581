#!/usr/bin/env bash
# Runs every test: the native ones, then the Windows ones under Wine on a
# private Xvfb display, which this script starts and stops.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZARVO_BUILD=${ZARVO_BUILD:-$root/build}

"$root/tools/build.sh"
source "$root/tools/wine-env.sh" "$ZARVO_BUILD/wine"
source "$root/tools/xvfb-env.sh"
"$root/tools/wine-prefix.sh" "$ZARVO_BUILD/wine"
# One server for the whole run: each Wine start is then quick. Its helper
# processes start now, with no pipe of ctest's open, which they would otherwise
# hold until the run ends.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1

# A small memory disk as drive E:, for the full-disk case, where the sandbox
# lets us mount one; without it that case is skipped.
fulldisk="$ZARVO_BUILD/fulldisk"
mkdir -p "$fulldisk"
# Its root is the administrators' own, as a drive's root is on Windows: a
# root open to every account would be refused as an install folder's parent.
if mountpoint -q "$fulldisk" || mount -t tmpfs -o size=1m,mode=755 zarvo-fulldisk "$fulldisk" 2>/dev/null; then
    chmod 755 "$fulldisk"
    ln -sfn "$fulldisk" "$WINEPREFIX/dosdevices/e:"
    zarvo_fulldisk=$fulldisk  # unmounted by the clean-up at exit
else
    rm -f "$WINEPREFIX/dosdevices/e:"
fi

status=0
ctest --test-dir "$ZARVO_BUILD/host" --output-on-failure -j "$(nproc)" || status=1
ctest --test-dir "$ZARVO_BUILD/wintest" --output-on-failure || status=1
exit $status
