#!/usr/bin/env bash
# An upgrade's new files are on the disk before any of them takes its name:
# after a power cut a file under its name has its bytes, not just its length.
# Wine 8 flushes in the program's own process and renames in its server, so
# traces of both, with their times, show the order: every new file
# (".zs-<tag>-new") and the run's journal are flushed before the first new
# file is renamed to its name. Runs in the Wine prefix of the test run, whose
# server it restarts under strace and then gives back.
# Usage: FlushOrderTest.sh INSTALLER WORK_DIR
set -euo pipefail
installer=$1
work=$2
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
command -v strace >/dev/null || fail "strace is missing: run tools/setup.sh as root, which installs it."
mkdir -p "$work"
dir='C:\Zarvo Flush\Zarvo'
install() { wine "$installer" /S "/D=$dir" </dev/null >/dev/null 2>&1; }
# The first installation makes the older release; the traced one replaces it.
install
wineserver -k || true
wineserver -w || true
rm -f "$work/server"
strace -f -y -qq -ttt -e trace=rename,renameat,renameat2,listen -o "$work/server" wineserver -f -p 10 &
tracer=$!
# Wine's first program comes once the traced server listens: one that came
# earlier would start a server of its own, and the traced one would give way.
for _ in $(seq 600); do
    grep -q 'listen(' "$work/server" 2>/dev/null && break
    sleep 0.1
done
grep -q 'listen(' "$work/server" || fail "the traced Wine server did not start"
# Wine's own services start first, untraced: as children of the traced
# installer they would keep its trace open until the server ends.
wine cmd /c exit </dev/null >/dev/null 2>&1
strace -f -y -qq -ttt -e trace=fsync,fdatasync -o "$work/client" wine "$installer" /S "/D=$dir" </dev/null >/dev/null 2>&1
wineserver -k || true
wait "$tracer" || true
# The server given back outlives this script: with a pipe of ctest's open it
# would hold the test run until the server ends.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c rd /s /q "C:\\Zarvo Flush" </dev/null >/dev/null 2>&1 || true

python3 - "$work/server" "$work/client" <<'CHECK' || fail "a file took its name before every new file was on the disk (traces in $work)"
import re, sys
lines = []
for trace in sys.argv[1:]:
    for line in open(trace, errors="replace"):
        stamp = re.match(r"\d+ +(\d+\.\d+) ", line)
        if stamp:
            lines.append((float(stamp.group(1)), line))
flushed, first_rename, last_flush, renamed = set(), None, None, 0
for number, (_, line) in enumerate(sorted(lines)):
    sync = re.search(r"f(?:data)?sync\(\d+<([^>]*)>\) = 0", line)
    if sync and (re.search(r"\.zs-[0-9a-f]{8}-new$", sync.group(1)) or re.search(r"/zs-[0-9a-f]{8}-journal$", sync.group(1))):
        flushed.add(sync.group(1))
        last_flush = number
    move = re.search(r'rename(?:at2?)?\((?:\d+<[^>]*>, )?"([^"]*\.zs-[0-9a-f]{8}-new)", (?:\d+<[^>]*>, )?"([^"]*)"', line)
    if move and not move.group(2).endswith("-new"):
        renamed += 1
        if move.group(1) not in flushed:
            sys.exit(f"renamed before its flush: {move.group(1)}")
        if first_rename is None:
            first_rename = number
if renamed < 20 or not any(path.endswith("-journal") for path in flushed):
    sys.exit(f"{renamed} new files renamed to their names, journal flushed: {[p for p in flushed if 'journal' in p]}")
if last_flush > first_rename:
    sys.exit("a new file was flushed after the first took its name")
print(f"{len(flushed) - 1} new files and the journal flushed before the first of {renamed} took its name")
CHECK
