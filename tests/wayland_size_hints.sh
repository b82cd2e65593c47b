#!/bin/sh
# On Wayland the game's smallest and largest size, as it sends them with its first frame,
# are the whole window geometry, the title bar that Qt draws included: a compositor that
# follows them neither shrinks nor enlarges the window. Reads the game's own protocol log.
# Runs in weston_session.sh.
#   wayland_size_hints.sh GAME
set -u
log=$(mktemp)
trap 'kill $player 2>/dev/null; wait 2>/dev/null; rm -f "$log"' EXIT

WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$1" 2>"$log" &
player=$!
# The hints in force with the first frame, the first commit after the window geometry is
# set: the last ones sent before that commit. Prints nothing until that frame is sent.
first_frame() {
    awk -F'[()]' '
        /-> xdg_toplevel[@#][0-9]+\.set_min_size\(/ { min = $2 }
        /-> xdg_toplevel[@#][0-9]+\.set_max_size\(/ { max = $2 }
        /-> xdg_surface[@#][0-9]+\.set_window_geometry\(/ { geometry = $2; sub(/^0, 0, /, "", geometry) }
        geometry != "" && /-> wl_surface[@#][0-9]+\.commit\(\)/ {
            gsub(/, /, "x", min); gsub(/, /, "x", max); gsub(/, /, "x", geometry)
            print min, max, geometry; exit
        }' "$log"
}
until [ -n "$(first_frame)" ]; do
    kill -0 $player 2>/dev/null || { echo "FAIL the game ended"; cat "$log"; exit 1; }
    sleep 0.1
done
read -r min max geometry <<END
$(first_frame)
END
[ "$min" = "$geometry" ] && [ "$max" = "$geometry" ] ||
    { echo "FAIL smallest size $min and largest $max, but the window is $geometry"; exit 1; }
echo "ok the smallest and largest size are the window's $geometry"
