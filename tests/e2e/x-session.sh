#!/usr/bin/env bash
# x-session.sh COMMAND...
# Runs COMMAND in a private X session: Xvfb on a free display with openbox as window manager,
# both ended afterwards. Exits with COMMAND's exit code. X_SESSION_SCREEN sets the screen
# (width x height x depth), 1920x1080x24 when unset.
set -u
work=$(mktemp -d)
cleanup() {
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 "${X_SESSION_SCREEN:-1920x1080x24}" -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "x-session: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done

"$@"
exit $?
