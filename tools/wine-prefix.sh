#!/usr/bin/env bash
# Makes the private Wine prefix that the installer and its tests run in, once:
# no window manager needed, Chinese text readable in Tahoma, no desktop files
# written into the host's home, URLs handed to a logging stand-in browser.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(realpath -m "${1:-${ZARVO_BUILD:-$root/build}/wine}")
# The prefix is made again whenever this script changes.
stamp=$(sha1sum "$0" | cut -d' ' -f1)
[ "$(cat "$prefix/.zarvo-ready" 2>/dev/null)" = "$stamp" ] && exit 0

source "$root/tools/wine-env.sh" "$prefix"
[ -n "${DISPLAY:-}" ] || source "$root/tools/xvfb-env.sh"
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
mkdir -p "$prefix"
log=$prefix.log
if ! {
    wineboot -i &&
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
            /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f &&
        # No host browser is ever started from the prefix.
        wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d true /f &&
        wineserver -w
} >"$log" 2>&1 || [ ! -f "$prefix/system.reg" ]; then
    echo "setup: Wine could not make its prefix in $prefix (its output is in $log): run tools/setup.sh, then try again." >&2
    exit 1
fi
echo "$stamp" >"$prefix/.zarvo-ready"
