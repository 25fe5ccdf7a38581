# Sourced: starts a private Xvfb display for this shell, which stops it again
# (with every Wine process of the prefix, and the memory disk of the tests if
# one was mounted) when the shell exits.
for n in $(seq 90 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { zarvo_display=$n; break; }
done
Xvfb ":$zarvo_display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
zarvo_xvfb_pid=$!
export DISPLAY=":$zarvo_display"
zarvo_cleanup() {
    # Clean-up goes on past any step that fails, and never changes the exit status.
    set +e
    wineserver -k >/dev/null 2>&1
    kill "$zarvo_xvfb_pid" 2>/dev/null
    [ -n "${zarvo_fulldisk:-}" ] && umount "$zarvo_fulldisk" 2>/dev/null
    return 0
}
trap zarvo_cleanup EXIT
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
