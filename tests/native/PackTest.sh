#!/bin/sh
# The container tool on good and bad input: bad input must fail with a
# message that names the file, so that the build stops and says why.
set -u
pack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

fail() {
    echo "FAIL: $*"
    status=1
}

# expect_failure <case> <file the message names> <pack arguments...>
expect_failure() {
    what=$1
    named=$2
    shift 2
    if message=$("$pack" "$@" 2>&1); then
        fail "$what: pack succeeded"
    else
        case $message in
            *"$named"*) echo "ok: $what: $message" ;;
            *) fail "$what: the message does not name $named: $message" ;;
        esac
    fi
}

printf 'Zarvo\r\n' >"$work/small.txt"
if "$pack" "$work/small.txt" "$work/small.container"; then
    # Size field 7, then the zlib header that every container begins with.
    head=$(od -An -tx1 -N6 "$work/small.container" | tr -d ' \n')
    [ "$head" = 07000000789c ] || fail "small file: container starts $head"
else
    fail "small file: pack failed"
fi

: >"$work/empty.txt"
"$pack" "$work/empty.txt" "$work/empty.container" || fail "empty file: pack failed"

expect_failure "missing input" "$work/missing.txt" "$work/missing.txt" "$work/out.container"
expect_failure "directory as input" "$work" "$work" "$work/out.container"
truncate -s 2147483648 "$work/huge.bin"
expect_failure "input above 2147483647 bytes" "$work/huge.bin" "$work/huge.bin" "$work/out.container"
[ -e "$work/out.container" ] && fail "a refused input left a container behind"
expect_failure "output in a missing folder" "$work/none/out.container" "$work/small.txt" "$work/none/out.container"
"$pack" "$work/small.txt" >/dev/null 2>&1 && fail "one argument: pack succeeded"
exit $status
