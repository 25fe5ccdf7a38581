# Installs Debian packages so that a mirror in the middle of a sync does not
# stop the set-up. Sourced by tools/setup.sh and tools/wine32.sh.
#
# A mirror in sync serves some indexes at a size that its Release file does not
# announce yet ("File has unexpected size ... Mirror sync in progress?"): apt
# then keeps the older index of that suite, or none. The two halves of a
# multi-arch library (zlib1g:amd64 and zlib1g:i386) must be of one version, and
# with the security suite's index for one architecture missing they would come
# from different suites, which apt refuses. So an update that fails is tried
# once more, and where the indexes still disagree the packages all come from
# the release's own suite (-t), where both halves are found at one version.

# apt-get update; 0 when every index came, else 1 after a second try. Its
# output goes to the file named by $apt_log.
apt_update() {
    local attempt
    for attempt in 1 2; do
        [ "$attempt" -eq 1 ] || sleep "${ZARVO_APT_RETRY_WAIT:-5}"
        apt-get update >>"$apt_log" 2>&1 && return 0
    done
    return 1
}

# apt_install SUITE PACKAGE...: installs the packages, taken from SUITE where
# the indexes cannot be trusted to agree; 0 when they are installed.
apt_install() {
    local suite=$1 target=()
    shift
    # With every index in, the newest versions (security updates included)
    # are taken; otherwise, or for another suite (backports), only that one.
    if ! apt_update || [ "$suite" != "$(apt_release)" ]; then
        target=(-t "$suite")
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${target[@]}" "$@" >>"$apt_log" 2>&1 &&
        return 0
    # The indexes may have changed under the install: fetched again, the
    # packages come from the one suite.
    apt_update || true
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends -t "$suite" "$@" >>"$apt_log" 2>&1
}

# The code name of this machine's Debian release (bookworm).
apt_release() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
}
