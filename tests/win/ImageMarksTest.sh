#!/usr/bin/env bash
# The marks that the installer's image carries for the system and the
# certification checks: relocatable (ASLR), no-execute compatible (DEP),
# terminal-server aware, and no SEH. The no-SEH mark makes Windows refuse any
# frame handler of the image, so the code must set none: no instruction may
# reach the TEB's handler chain at fs:[0] (the start-up code reads only
# fs:[0x18], the TEB's own address).
# Usage: ImageMarksTest.sh ZarvoSetup.exe
set -euo pipefail
image=$1
status=0

characteristics=$(i686-w64-mingw32-objdump -p "$image" | awk '$1 == "DllCharacteristics" && !seen++ { print $2 }')
for mark in 0040:dynamic-base 0100:nx-compatible 0400:no-SEH 8000:terminal-server-aware; do
    if (((0x$characteristics & 0x${mark%%:*}) == 0)); then
        echo "FAILED: DllCharacteristics 0x$characteristics lacks ${mark#*:} (0x${mark%%:*})"
        status=1
    fi
done

# A frame handler is linked in and out by moving to and from the chain; the
# disassembler also decodes the tables that the compiler puts among the code,
# where an arithmetic form of those bytes is no instruction at all.
handlers=$(i686-w64-mingw32-objdump -d "$image" | grep -E '\s(mov|push|pop|xchg)[lwb]?\s+[^#]*%fs:(0x0\b|\()' || true)
if [ -n "$handlers" ]; then
    echo "FAILED: the image is marked no-SEH, and code reaches the handler chain at fs:[0]:"
    echo "$handlers"
    status=1
fi
[ $status -ne 0 ] || echo "ok: DllCharacteristics 0x$characteristics, no handler chain access"
exit $status
