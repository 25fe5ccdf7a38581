#!/usr/bin/env bash
# The installer against its peer: the same payload set built as an NSIS 3
# installer by Debian's makensis (bench/Peer.nsi: zlib, not solid, one page of
# progress) and an empty one for the baseline, timed turn about under Wine on
# a private display: peer.sh [rounds] [release folder]. Without a folder the
# payload set is the benchmarks' full-size one; bench/release-folder.sh lays
# out a realistic release folder.
set -euo pipefail
rounds=${1:-9}
if [ $# -ge 2 ]; then
    ZARVO_BENCH_PAYLOADS=$(cd "$2" && pwd)
    export ZARVO_BENCH_PAYLOADS
fi
source "$(dirname "$0")/winbench.sh" ZarvoSetup peer_bench

# The Uninstall entry's size, as the installer records it: the KiB of the
# fifteen plain files, rounded up.
files=(whatsnew.txt Data/ZarvConfig.ini Zarvo.exe ZarvService.exe BugReport.exe Lisense.txt ZarvLibrary.dll
    ZarvResources.dll ZarvZip.dll ZarvUpdate.exe Uninstall.exe Skin/default.zsk Lang/0x0804.ini Lang/0x0404.ini
    Lang/0x0409.ini)
bytes=0
for file in "${files[@]}"; do
    bytes=$((bytes + $(stat -c %s "$payloads/$file")))
done
peer=$bench/peer
mkdir -p "$peer"
version() {
    sed -n "s/^#define ZARVO_VERSION_$1 L\?\"\?\([^\"]*\)\"\?\$/\1/p" "$bench/generated/Version.h"
}
makensis -V2 -DPAYLOADS="$payloads" -DVERSION="$(version TEXT)" -DMAJOR="$(version MAJOR)" -DMINOR="$(version MINOR)" \
    -DKIB=$(((bytes + 1023) / 1024)) -DOUT="$peer/Peer.exe" "$root/bench/Peer.nsi"
makensis -V2 -DEMPTY -DOUT="$peer/Empty.exe" "$root/bench/Peer.nsi"
echo "payload set: $payloads, $bytes bytes"
wine "$bench/peer_bench.exe" "$(winepath -w "$bench/ZarvoSetup.exe")" "$(winepath -w "$peer/Peer.exe")" \
    "$(winepath -w "$peer/Empty.exe")" "$rounds" </dev/null
