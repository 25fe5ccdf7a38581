#!/usr/bin/env bash
# The set-up's install step while the mirror is in the middle of a sync, against
# a stand-in apt-get on the PATH: every update fails for the security suite's
# i386 index, an install without the release's suite fails because the two
# halves of a multi-arch library would come from different suites, and the
# first install fails whatever its options, as a package file replaced under
# it does. tools/setup.sh (from a copy of the tools, with a stand-in for the
# emulator's step) and the emulator's own install from bookworm-backports must
# both see it through. Nothing of the machine's apt or dpkg is touched.
# Usage: AptTest.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")

mkdir -p "$work/bin" "$work/tools"
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STANDIN_CALLS"
if [ "$1" = update ]; then
    echo "E: Failed to fetch http://deb.example/debian-security/dists/$STANDIN_RELEASE-security/main/binary-i386/Packages.xz  File has unexpected size (20140 != 20188). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
fi
if [ ! -e "$STANDIN_CALLS.fetched" ]; then
    touch "$STANDIN_CALLS.fetched"
    echo "E: Failed to fetch http://deb.example/debian/pool/main/z/zlib/zlib1g_1.2.13.dfsg-1_i386.deb  404  Not Found"
    exit 100
fi
case " $* " in
    *" -t $STANDIN_RELEASE "* | *" -t bookworm-backports "*) ;;
    *)
        echo " wine32:i386 : Depends: zlib1g:i386 (>= 1:1.2.0) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
        ;;
esac
echo "installed" >>"$STANDIN_CALLS"
EOF
# Nothing is installed yet, and the i386 architecture is known.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin/"*
cp "$root/tools/setup.sh" "$root/tools/apt.sh" "$work/tools/"
printf '#!/bin/sh\necho "32-bit programs run" >>"$STANDIN_CALLS"\n' >"$work/tools/wine32.sh"
chmod +x "$work/tools/wine32.sh"
export PATH=$work/bin:$PATH STANDIN_RELEASE=$release ZARVO_APT_RETRY_WAIT=0

status=0
# see_through NAME COMMAND...: the command succeeds and the stand-in installed.
see_through() {
    local name=$1
    shift
    export STANDIN_CALLS=$work/$name.calls
    if "$@" >"$work/$name.out" 2>&1 && grep -qx installed "$STANDIN_CALLS"; then
        echo "ok: $name"
    else
        echo "FAILED: $name did not get through a mirror in sync:"
        cat "$work/$name.out" "$STANDIN_CALLS" 2>/dev/null
        status=1
    fi
}
see_through setup "$work/tools/setup.sh"
grep -qx "32-bit programs run" "$work/setup.calls" || { echo "FAILED: setup stopped before the emulator's step"; status=1; }
see_through emulator bash -c "source '$work/tools/apt.sh'; apt_log=$work/emulator.log; apt_install bookworm-backports qemu-user"
exit $status
