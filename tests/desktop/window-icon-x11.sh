#!/bin/sh
# Starts the real program on an X display and checks that its window carries the one 32 x 32 icon
# and the window class the menu entry names.
#   with-xvfb window-icon-x11.sh PROGRAM
set -eu
tmp=$(mktemp -d)
mkdir -m 700 "$tmp/run"
HOME=$tmp XDG_RUNTIME_DIR=$tmp/run DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$1" &
program=$!
trap 'kill $program 2>/dev/null; rm -rf "$tmp"' EXIT

window=$(timeout 30 xdotool search --sync --onlyvisible --pid $program | head -n 1)
icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' || true)
if [ "$icons" != "Icon (32 x 32)" ]; then
    echo "window icons: '$icons', expected one 32 x 32 icon"
    exit 1
fi
class=$(xprop -id "$window" WM_CLASS)
expected=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../resources/kovelith.desktop")
case "$class" in
    *"\"$expected\""*) ;;
    *) echo "window class $class, the menu entry expects $expected"; exit 1 ;;
esac
