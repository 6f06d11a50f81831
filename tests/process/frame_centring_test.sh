#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The window is centred on its outer size, frame and title bar included: under a window manager that
# tells the frame before the window is mapped, from the moment its frame is mapped; under one that
# cannot, once the frame is known.
#   frame_centring_test.sh KOVELITH  (on a display of its own, 1280x1024)
set -eu
exe=$1 dir=$(mktemp -d) game="" wm="" watcher=""
trap 'kill $game $watcher $wm 2>/dev/null || true; rm -rf "$dir"' EXIT

HOME=$dir openbox --sm-disable >/dev/null 2>&1 & wm=$!
# Start the game only once the window manager has claimed the screen, and a little later: openbox
# loses map requests that come while it is still starting up.
timeout 10 sh -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window; do sleep 0.1; done'
sleep 0.5
# Every move, resize and mapping of the root's children (the frames) is written down as it happens.
stdbuf -oL xev -root -event substructure >"$dir/events" & watcher=$!
timeout 5 sh -c 'until [ -s "$0" ]; do sleep 0.05; done' "$dir/events" || true

# framed_centred all|last: the game's frame is centred in every place from its mapping on, or at
# least in the last one.
framed_centred() {
    "$(dirname "$0")/../support/sandbox" "$dir/home" "$exe" & game=$!
    window=$(timeout 15 xdotool search --sync --onlyvisible --pid $game | head -n 1)
    frame=$(xwininfo -children -id "$window" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    sleep 1 # time for a late correction to show up
    # The frame's place and size when it is mapped (the last before the mapping), and every later one.
    awk -v frame="window $frame," '
        /^[A-Z]/ { kind = $1 }
        !index($0, frame) { next }
        kind == "MapNotify" { mapped = 1; print place }
        kind == "ConfigureNotify" && match($0, /\(-?[0-9]+,-?[0-9]+\), width [0-9]+, height [0-9]+/) {
            place = substr($0, RSTART, RLENGTH)
            if (mapped) print place
        }' "$dir/events" | tr '(),' '   ' >"$dir/places"
    kill $game && wait $game 2>/dev/null || true
    [ "$1" = all ] || sed -i '$!d' "$dir/places"
    [ -s "$dir/places" ]
    while read -r x y _ width _ height; do
        want_x=$(((1280 - width) / 2)) want_y=$(((1024 - height) / 2))
        echo "frame ${width}x$height at $x,$y, centred at $want_x,$want_y"
        [ "$x" -eq "$want_x" ] && [ "$y" -eq "$want_y" ] || return 1
    done <"$dir/places"
}
framed_centred all
# A window manager that cannot be asked beforehand: the game moves the window once it is framed.
xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED _NET_FRAME_EXTENTS
framed_centred last
