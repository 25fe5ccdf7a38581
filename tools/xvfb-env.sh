# Sourced: starts a private Xvfb display for this shell, which stops it again
# (with every Wine process of the prefix) when the shell exits.
for n in $(seq 90 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { zarvo_display=$n; break; }
done
Xvfb ":$zarvo_display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
zarvo_xvfb_pid=$!
export DISPLAY=":$zarvo_display"
trap 'wineserver -k >/dev/null 2>&1; kill $zarvo_xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
