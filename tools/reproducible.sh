#!/usr/bin/env bash
# Builds one commit twice, from two clean clones in directories of different
# names and depths, one after the other, in different time zones and with
# different umasks, and compares the unsigned ZarvoSetup.exe, the containers
# that it is made from and the package for the Windows Installer that carries
# it byte for byte.
# Usage: tools/reproducible.sh [COMMIT]  (HEAD when none; uncommitted changes
# take no part). The clones are removed when the builds agree and kept for a
# look when they differ.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")
work=$(mktemp -d "${TMPDIR:-/tmp}/zarvo-reproducible.XXXXXX")
first=$work/a/src
second=$work/second-build/of/the/same/commit/src

build() {
    local dir=$1 zone=$2 mask=$3
    local start=$SECONDS
    git clone --quiet --no-checkout "$root" "$dir"
    git -C "$dir" checkout --quiet --detach "$commit"
    # Without a certificate, whose time stamps would make the package differ.
    (umask "$mask" && export TZ=$zone ZARVO_BUILD="$dir/build" && unset ZARVO_SIGN_PKCS12 ZARVO_SIGN_CERT ZARVO_SIGN_KEY &&
        "$dir/tools/build.sh" --installer && cmake --build "$dir/build/win32" --target msi_package) >"$dir.log" 2>&1 || {
        echo "reproducible: the build in $dir failed; its output is in $dir.log." >&2
        exit 1
    }
    echo "reproducible: built $commit in $dir in $((SECONDS - start)) s."
}
build "$first" UTC 022
build "$second" Asia/Shanghai 077

outputs() {
    (cd "$1/build/win32" && ls ZarvoSetup.exe ZarvoSetup.msi payloads/*.container ui/*.container)
}
if [ "$(outputs "$first")" != "$(outputs "$second")" ]; then
    echo "reproducible: the builds made different files; both are kept in $work." >&2
    exit 1
fi
differ=()
for file in $(outputs "$first"); do
    cmp -s "$first/build/win32/$file" "$second/build/win32/$file" || differ+=("$file")
done
if [ ${#differ[@]} -gt 0 ]; then
    echo "reproducible: ${differ[*]} differ; both builds are kept in $work." >&2
    exit 1
fi
echo "reproducible: $(outputs "$first" | wc -l) files identical, ZarvoSetup.exe" \
    "$(sha256sum "$first/build/win32/ZarvoSetup.exe" | cut -d' ' -f1)."
rm -rf "$work"
