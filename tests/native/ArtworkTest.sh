#!/bin/sh
# The artwork in the tree is what imagegen draws, byte for byte: a picture or
# icon edited by hand, a change to the drawing or the encoders whose output was
# not committed, or a picture that imagegen no longer draws, fails here.
set -u
imagegen=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$imagegen" "$work" >/dev/null || { echo "FAIL: imagegen stopped"; exit 1; }
status=0
for file in $({ (cd "$work" && find . -type f | sed "s|^\./||"); (cd "$root" && ls ui/*.jpg); } | sort -u); do
    if cmp -s "$work/$file" "$root/$file"; then
        echo "ok: $file"
    else
        echo "FAIL: $file is not what imagegen draws"
        status=1
    fi
done
exit $status
