#!/usr/bin/env bash
# Makes the private Wine prefix that the installer and its tests run in, once:
# no window manager needed, Chinese text readable in Tahoma, no desktop files
# written into the host's home, URLs handed to a logging stand-in browser.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(realpath -m "${1:-${ZARVO_BUILD:-$root/build}/wine}")
[ -f "$prefix/.zarvo-ready" ] && exit 0

source "$root/tools/wine-env.sh" "$prefix"
[ -n "${DISPLAY:-}" ] || source "$root/tools/xvfb-env.sh"
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma /t REG_MULTI_SZ \
    /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$root/tools/log-url.sh" /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.zarvo-ready"
