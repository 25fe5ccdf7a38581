#!/usr/bin/env bash
# Makes sure that Wine's 32-bit side runs: the installer and every Windows test
# are 32-bit programs. Some of our machines' kernels refuse 32-bit x86 code
# altogether; there the 32-bit processes run under user-mode QEMU, registered
# in binfmt_misc, while Wine's 64-bit side stays native. It must be QEMU 10 from
# bookworm-backports: bookworm's own 7.2 spends about 50 s on each process start.
# Where 32-bit programs run natively, nothing is installed or registered, so
# native code is never diverted through the emulator. The registration is
# kernel state, lost at every boot, so this runs on every start; it returns at
# once when everything is in place.
#
#   wine32.sh          ensure that 32-bit programs run, or say what is missing
#   wine32.sh --mode   print how they run here: "native" or "emulated (qemu-user X)"
set -euo pipefail

loader=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386
# i386 ELF executables and shared objects; F: the kernel opens the emulator at
# registration, so it is found inside chroots too.
registration=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
registration+=':\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
registration+=":$qemu:F"
sources=/etc/apt/sources.list.d/zarvo-bookworm-backports.sources

fail() {
    echo "setup: $*" >&2
    exit 1
}
runs32() { "$loader" --version >/dev/null 2>&1; }
registered() { grep -qx enabled "$binfmt/qemu-i386" 2>/dev/null; }

if [ "${1:-}" = --mode ]; then
    if registered; then
        echo "emulated (qemu-user $(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null))"
    else
        echo native
    fi
    exit 0
fi

[ -x "$loader" ] || fail "Wine's 32-bit loader $loader is missing: install the package wine32:i386 (tools/setup.sh does, as root)."
runs32 && exit 0

[ "$(id -u)" -eq 0 ] || fail "this machine's kernel cannot run 32-bit programs, which Wine needs: run tools/setup.sh as root, which installs the emulator qemu-user from bookworm-backports and registers it until the next boot."

# The suite comes from the same mirror that the machine's own sources name.
mirror() {
    apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null | awk -v suite="$1" '$2 == suite { print $1; exit }'
}
version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
if [ -z "$version" ] || dpkg --compare-versions "$version" lt 1:10; then
    if [ -z "$(mirror bookworm-backports)" ]; then
        base=$(mirror bookworm)
        [ -n "$base" ] || { apt-get update -qq || true; base=$(mirror bookworm); }
        [ -n "$base" ] || fail "apt's sources name no bookworm suite, so bookworm-backports cannot be added for the emulator qemu-user: add a Debian 12 mirror to /etc/apt/sources.list.d and run again."
        printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$base" >"$sources"
    fi
    source "$(dirname "$0")/apt.sh"
    apt_log=$(mktemp)
    trap 'rm -f "$apt_log"' EXIT
    apt_install bookworm-backports qemu-user || {
        tail -n 5 "$apt_log" >&2
        fail "the emulator qemu-user could not be installed from bookworm-backports (apt's last lines above): check that this machine reaches Debian's package archive."
    }
fi

[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
    fail "binfmt_misc cannot be mounted at $binfmt, so the kernel cannot hand 32-bit programs to the emulator: run on a machine (or container) that allows mounting it."
# An entry of that name that did not make 32-bit programs run is replaced.
[ -e "$binfmt/qemu-i386" ] && echo -1 >"$binfmt/qemu-i386"
printf '%s' "$registration" >"$binfmt/register" 2>/dev/null ||
    fail "the emulator qemu-user could not be registered in $binfmt: run on a machine (or container) whose binfmt_misc accepts registrations."
runs32 || fail "32-bit programs still do not run with qemu-user registered: this machine cannot run the installer's tests."
echo "setup: this kernel cannot run 32-bit programs; Wine's 32-bit side now runs under qemu-user $(dpkg-query -W -f='${Version}' qemu-user)."
