#!/usr/bin/env bash
# What alone could make two builds of one commit differ, checked on this
# build: a time stamp in the installer or in a program that it carries, or the
# path of the source or build tree in them. tools/reproducible.sh compares two
# whole builds. Usage: ReproducibleTest.sh INSTALLER_BUILD SOURCE_DIR
set -euo pipefail
build=$1
source=$2
status=0
for file in "$build/ZarvoSetup.exe" "$build"/standin/*; do
    headers=$(TZ=UTC i686-w64-mingw32-objdump -p "$file")
    grep -q '^Time/Date' <<<"$headers" || { echo "$file: no time stamp found to check"; status=1; }
    # The header's, the export table's and the resource tables' stamps.
    if grep -E '^Time/Date|Time: ' <<<"$headers" | grep -vE '00:00:00 1970$|stamp[[:space:]]+0$|Time: 00000000'; then
        echo "$file: time stamped"
        status=1
    fi
    for tree in "$source" "$build"; do
        if grep -qaF "$tree" "$file"; then
            echo "$file: holds the path $tree"
            status=1
        fi
    done
done
exit $status
