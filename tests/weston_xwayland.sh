#!/bin/sh
# Through XWayland, as Qt runs on a GNOME desktop, weston draws the frame: a maximize or
# full-screen request must leave the window at its size and the game running. Runs in
# weston_session.sh --xwayland; exits 77 (skipped) when the X tools are not installed.
#   weston_xwayland.sh GAME
set -u
for tool in xdotool xwininfo wmctrl; do
    command -v $tool >/dev/null || { echo "weston_xwayland: $tool is not installed"; exit 77; }
done
log=$(mktemp)
trap 'kill $player 2>/dev/null; wait 2>/dev/null; rm -f "$log"' EXIT

QT_QPA_PLATFORM=xcb "$1" >"$log" 2>&1 &
player=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid $player 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL the game opened no X window"; cat "$log"; exit 1; }
size() { xwininfo -id "$window" | sed -n 's/^ *\(Width\|Height\): *//p' | paste -sd x; }
before=$(size)
case $before in 261x*) ;; *) echo "FAIL the window is $before, not 261 wide"; exit 1 ;; esac
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
wmctrl -i -r "$window" -b add,fullscreen
# The requests are answered within a second; a busy machine gets ten.
sleep 1
for _ in $(seq 90); do
    kill -0 $player 2>/dev/null || { echo "FAIL the game ended"; cat "$log"; exit 1; }
    after=$(size)
    [ "$after" = "$before" ] && break
    sleep 0.1
done
[ "$after" = "$before" ] || { echo "FAIL maximize or full screen left the window $after"; exit 1; }
echo "ok through XWayland the window keeps its $after size"
