#!/usr/bin/env bash
# Lays out a realistic release folder of some 16 MB for bench/peer.sh and
# tools/build.sh --payloads: release-folder.sh DIR. The eight programs are
# whole PE files that Wine ships (its own i386 DLLs and EXEs), the texts those
# under payloads/, and the skin 64,124 bytes that no compressor can shrink.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || { echo "usage: release-folder.sh DIR" >&2; exit 2; }
dir=$1
wine_pe=/usr/lib/i386-linux-gnu/wine/i386-windows

mkdir -p "$dir/Data" "$dir/Lang" "$dir/Skin"
while read -r installed source; do
    cp "$wine_pe/$source" "$dir/$installed"
done <<'LIST'
Zarvo.exe msi.dll
ZarvService.exe cmd.exe
BugReport.exe winedbg.exe
ZarvLibrary.dll objsel.dll
ZarvResources.dll advapi32.dll
ZarvZip.dll msvfw32.dll
ZarvUpdate.exe urlmon.dll
Uninstall.exe gdiplus.dll
LIST
cp "$root/payloads/whatsnew.txt" "$root/payloads/Lisense.txt" "$dir/"
cp "$root/payloads/ZarvConfig.ini" "$dir/Data/"
for language in 0804 0404 0409; do
    cp "$root/payloads/x$language.ini" "$dir/Lang/0x$language.ini"
done
# A key stream: the same bytes at every run, and incompressible.
openssl enc -aes-128-ctr -nosalt -K 00000000000000000000000000000000 -iv 00000000000000000000000000000000 \
    -in /dev/zero 2>/dev/null | head -c 64124 >"$dir/Skin/default.zsk" || true
[ "$(stat -c %s "$dir/Skin/default.zsk")" -eq 64124 ]
du -sb "$dir"
