# Sourced: starts a private Xvfb display for this shell, which stops it again
# (with every Wine process of the prefix, and the memory disk of the tests if
# one was mounted) when the shell exits.
# Xvfb takes a free display itself, which another run starting at the same
# moment cannot take too, and names it once it accepts clients.
zarvo_fifo=$(mktemp -u)
mkfifo "$zarvo_fifo"
exec {zarvo_display_fd}<>"$zarvo_fifo"
rm -f "$zarvo_fifo"
Xvfb -displayfd "$zarvo_display_fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
zarvo_xvfb_pid=$!
zarvo_cleanup() {
    # Clean-up goes on past any step that fails, and never changes the exit status.
    set +e
    wineserver -k >/dev/null 2>&1
    kill "$zarvo_xvfb_pid" 2>/dev/null
    [ -n "${zarvo_fulldisk:-}" ] && umount "$zarvo_fulldisk" 2>/dev/null
    return 0
}
trap zarvo_cleanup EXIT
read -r -t 60 -u "$zarvo_display_fd" zarvo_display || {
    echo "Xvfb did not start." >&2
    return 1
}
exec {zarvo_display_fd}<&-
export DISPLAY=":$zarvo_display"
