#!/bin/sh
# Under weston with XWayland, the game, given both a Wayland and an X display, runs as an
# X client: weston draws its frame and keeps its size, so a maximize or full-screen
# request leaves the window as it is and the game running. Runs on a private headless
# weston; exits 77 (skipped) when weston, XWayland or the X tools are not installed.
#   weston_xwayland.sh GAME
set -u
game=$1
for tool in weston Xwayland xdotool xwininfo wmctrl; do
    command -v $tool >/dev/null || { echo "weston_xwayland: $tool is not installed"; exit 77; }
done
dir=$(mktemp -d)
trap 'kill $player $compositor 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR="$dir" HOME="$dir" XDG_CONFIG_HOME="$dir"
chmod 700 "$dir"
unset QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=korvanda --xwayland --width=1024 \
    --height=768 --log="$dir/weston.log" &
compositor=$!
display=""
for _ in $(seq 100); do
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$dir/weston.log" 2>/dev/null)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "FAIL weston did not start XWayland"; cat "$dir/weston.log"; exit 1; }
export WAYLAND_DISPLAY=korvanda DISPLAY=$display

"$game" >"$dir/game.log" 2>&1 &
player=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid $player 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL the game opened no X window"; cat "$dir/game.log"; exit 1; }
size() { xwininfo -id "$window" | sed -n 's/^ *\(Width\|Height\): *//p' | paste -sd x; }
before=$(size)
case $before in 261x*) ;; *) echo "FAIL the window is $before, not 261 wide"; exit 1 ;; esac
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
wmctrl -i -r "$window" -b add,fullscreen
# The requests are answered within a second; a busy machine gets ten.
sleep 1
for _ in $(seq 90); do
    kill -0 $player 2>/dev/null || { echo "FAIL the game ended"; cat "$dir/game.log"; exit 1; }
    after=$(size)
    [ "$after" = "$before" ] && break
    sleep 0.1
done
[ "$after" = "$before" ] || { echo "FAIL maximize or full screen left the window $after"; exit 1; }
echo "ok the game runs through XWayland and keeps its $after size"
