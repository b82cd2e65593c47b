#!/bin/sh
# Runs a command under a private headless weston of 1024 x 768:
#   weston_session.sh [--xwayland] COMMAND...
# With --xwayland, an X server runs beside the compositor and DISPLAY names it. The
# runtime and configuration directories are the session's own. Exits 77 (skipped) when
# weston, or XWayland where it is asked for, is not installed.
set -u
xwayland=""
[ "$1" = --xwayland ] && { xwayland=--xwayland; shift; }
for tool in weston ${xwayland:+Xwayland}; do
    command -v $tool >/dev/null || { echo "weston_session: $tool is not installed"; exit 77; }
done
dir=$(mktemp -d)
trap 'kill $compositor 2>/dev/null; wait $compositor 2>/dev/null; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR="$dir" HOME="$dir" XDG_CONFIG_HOME="$dir"
chmod 700 "$dir"
unset DISPLAY QT_QPA_PLATFORM
# XWayland's socket goes in the folder that a desktop's start-up makes; weston makes none.
[ -z "$xwayland" ] || [ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix

weston --backend=headless-backend.so --socket=korvanda $xwayland --width=1024 --height=768 \
    --log="$dir/weston.log" &
compositor=$!
export WAYLAND_DISPLAY=korvanda
# The CTest timeout ends a session that never gets ready.
until [ -S "$dir/korvanda" ] && { [ -z "$xwayland" ] || [ -n "${DISPLAY:-}" ]; }; do
    kill -0 $compositor 2>/dev/null || { echo "weston_session: weston did not start"; cat "$dir/weston.log"; exit 1; }
    [ -n "$xwayland" ] && DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$dir/weston.log")
    sleep 0.05
done
[ -n "$xwayland" ] && export DISPLAY
"$@"
