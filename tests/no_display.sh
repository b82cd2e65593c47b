#!/bin/sh
# Without a display the game says so in one line and exits with status 1, whether no
# display is named or the one named cannot be reached, in the environment or with Qt's own
# -display option. Qt's -platform option opens the window without any display.
set -u
game=$1
fail=0
game_args=""
check() {
    label=$1
    shift
    # shellcheck disable=SC2086 # the options are meant to split into words
    output=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$game" $game_args 2>&1)
    status=$?
    lines=$(printf '%s\n' "$output" | wc -l)
    if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || ! printf '%s' "$output" | grep -q '^korvanda: '; then
        echo "FAIL $label: status $status, $lines lines:"
        printf '%s\n' "$output"
        fail=1
    else
        echo "ok $label: $output"
    fi
}
# A display that no server holds: no socket file, no lock file and no listening socket,
# abstract or not, for its number; "unix:" leaves TCP out.
display=7000
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ] ||
    grep -q "/tmp/.X11-unix/X$display\$" /proc/net/unix 2>/dev/null; do
    display=$((display + 1))
done
check "no display named" -u DISPLAY
check "an unreachable display" DISPLAY=unix:$display
check "an unknown platform" -u DISPLAY QT_QPA_PLATFORM=nowhere
game_args="-display unix:$display"
check "an unreachable display named with -display" -u DISPLAY

# Still running when stopped: the window opened.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 2 "$game" -platform offscreen \
    >/dev/null 2>&1
status=$?
if [ "$status" -eq 124 ]; then
    echo "ok -platform offscreen without a display: the window opens"
else
    echo "FAIL -platform offscreen without a display: status $status"
    fail=1
fi
exit $fail
