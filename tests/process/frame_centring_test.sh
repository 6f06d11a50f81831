#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Under a window manager that frames windows, the settled window is centred on its outer size, frame
# and title bar included: the frame is known only after mapping, so start-up corrects its first guess.
#   frame-centring.sh KOVELITH  (on a display of its own, 1280x1024)
set -eu
game="" wm=""
sandbox=$(mktemp -d)
trap 'kill $game $wm 2>/dev/null; rm -rf "$sandbox"' EXIT
mkdir -m 700 "$sandbox/run"
HOME=$sandbox openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Start the game only once the window manager has claimed the screen, and a little later: openbox
# loses map requests that come while it is still starting up.
timeout 10 sh -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window; do sleep 0.1; done'
sleep 0.5
HOME=$sandbox XDG_RUNTIME_DIR=$sandbox/run DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$1" &
game=$!
window=$(timeout 15 xdotool search --sync --onlyvisible --name '^ぬもさけり？$' | head -n 1)

# Left, right, top and bottom frame extents, and the client area's place on the screen.
centred() {
    set -- $(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,) \
        $(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left [XY]: *//p')
    [ $# -eq 6 ] || return 1
    outer_left=$(($5 - $1)) outer_top=$(($6 - $3))
    want_left=$(((1280 - (767 + $1 + $2)) / 2)) want_top=$(((1024 - (583 + $3 + $4)) / 2))
    echo "frame at $outer_left,$outer_top, centred would be $want_left,$want_top"
    [ "$outer_left" -eq "$want_left" ] && [ "$outer_top" -eq "$want_top" ]
}
for _ in $(seq 50); do
    centred >/dev/null && { centred; exit 0; }
    sleep 0.1
done
centred
