#!/usr/bin/env bash
# Builds the installer and starts it under Wine in the build's private prefix.
# Without a display it runs on a private Xvfb screen instead and saves a
# screenshot of the wizard.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZARVO_BUILD=${ZARVO_BUILD:-$root/build}

"$root/tools/build.sh"
source "$root/tools/wine-env.sh" "$ZARVO_BUILD/wine"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$root/tools/wine-prefix.sh" "$ZARVO_BUILD/wine"
    exec wine "$ZARVO_BUILD/win32/ZarvoSetup.exe"
fi

source "$root/tools/xvfb-env.sh"
"$root/tools/wine-prefix.sh" "$ZARVO_BUILD/wine"
shots="$ZARVO_BUILD/screenshots"
"$root/tools/screenshots.sh" "$shots"
echo "No display: the installer ran on a private X screen; its pages are in $shots"
