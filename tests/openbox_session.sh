#!/bin/sh
# Runs a command on a private X server of the given size, with openbox managing its
# windows:  openbox_session.sh WIDTHxHEIGHT COMMAND...
# The display number and the runtime and configuration directories are the session's
# own. Exits 77 (skipped) when a program that the tests need is not installed.
set -u
screen=$1
shift
for tool in Xvfb openbox xdotool wmctrl xprop; do
    command -v $tool >/dev/null || { echo "openbox_session: $tool is not installed"; exit 77; }
done
dir=$(mktemp -d)
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/config" HOME="$dir"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
server=$!
read -r number <"$dir/display"
[ -n "${number:-}" ] || { echo "openbox_session: Xvfb did not start"; exit 1; }
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb

# Openbox runs its start-up command once it manages windows; the CTest timeout ends a
# session that never gets there.
openbox --sm-disable --startup "touch $dir/managing" >"$dir/openbox.log" 2>&1 &
wm=$!
while [ ! -e "$dir/managing" ]; do
    kill -0 $wm 2>/dev/null || { echo "openbox_session: openbox did not start"; exit 1; }
    sleep 0.05
done
"$@"
