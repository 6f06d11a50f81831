#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The window's outer frame, title bar included, is centred from the moment it can be seen and never
# moves then, under one window manager for each way of telling the frame: one that tells it before
# mapping (openbox); one that offers to but never answers for a window not yet mapped (fluxbox);
# one that offers nothing and honours the gravity (fluxbox in disguise); and one that ignores the
# gravity (twm), where the game's window itself is centred, unless a compositing manager lets it be
# moved unseen. What the game makes of each answer, no frame, nonsense and late ones too, the
# placement's own test tells without a display.
#   frame_centring_test.sh KOVELITH  (on a display of its own, 1280x1024)
set -eu
exe=$1 dir=$(mktemp -d) game="" wm="" compositor="" watcher="" slack=0
left=0 top=0 width=1280 height=1024 # the primary monitor, where the window belongs
trap 'kill $game $watcher $compositor 2>/dev/null || true; kill -KILL $wm 2>/dev/null || true; rm -rf "$dir"' EXIT
# A signal ends it through exit, for /bin/sh runs the EXIT trap on exit but not on a signal.
trap 'exit 130' INT; trap 'exit 143' TERM; trap 'exit 129' HUP

# Every place of the frames, and whether each window can be seen, as X tells it; frames are told
# once mapped. Its first line says it listens.
"$(dirname "$0")/frame_watch.py" >"$dir/events" & watcher=$!
timeout --foreground 10 sh -c 'until [ -s "$0" ]; do sleep 0.1; done' "$dir/events" || { echo "the watcher never listened"; exit 1; }

# use_wm command...: the window manager in place of the last, once it has claimed the screen and a
# little later: openbox loses map requests that come while it is still starting up.
use_wm() {
    # Killed outright: fluxbox, told to end, takes the test down with it.
    if [ -n "$wm" ]; then kill -KILL $wm && wait $wm 2>/dev/null || true; fi
    xprop -root -remove _NET_SUPPORTING_WM_CHECK -remove _NET_SUPPORTED 2>/dev/null
    HOME=$dir "$@" >/dev/null 2>&1 & wm=$!
    timeout --foreground 10 sh -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window; do sleep 0.1; done' || [ "$1" = twm ]
    sleep 1
}

# framed_centred asked|unasked [window]: the game's top-level frame (or, with "window", the game's
# own window within it) is centred from the moment it can be seen, which is at most 0.7 s after its
# mapping; the frame never moves then; and the game asked the window manager for its frame or did not.
framed_centred() {
    seen=$(wc -l <"$dir/events")
    "$(dirname "$0")/../support/sandbox" "$dir/home" "$exe" & game=$!
    window=$(timeout --foreground 15 xdotool search --sync --onlyvisible --pid $game | head -n 1)
    [ -n "$window" ] || { echo "the game's window never showed within 15 s"; return 1; }
    window=$(printf '0x%x' "$window")
    sleep 1 # time for a late correction to show up
    tail -n +$((seen + 1)) "$dir/events" >"$dir/run" # before the window manager lets the frame go
    xwininfo -id "$window" | sed -n 's/.*Absolute upper-left [XY]: *//p; s/^ *\(Width\|Height\): *//p' | paste -sd ' ' >"$dir/window"
    kill $game && wait $game 2>/dev/null || true
    awk -v window="$window" '$1 == window && $6 { print $2, $3, $4, $5 }' "$dir/run" >"$dir/places"
    shown=$(awk -v window="$window" '$1 == window && $6 { print $7; exit }' "$dir/run")
    [ -s "$dir/places" ] && [ "$(sort -u "$dir/places" | wc -l)" -eq 1 ] && [ "$shown" -le 700 ] || { cat "$dir/run"; return 1; }
    [ "${2:-}" != window ] || cp "$dir/window" "$dir/places"
    read -r x y w h <"$dir/places"
    want_x=$((left + (width - w) / 2)) want_y=$((top + (height - h) / 2))
    echo "${2:-frame} ${w}x$h at $x,$y, centred at $want_x,$want_y, seen $shown ms after its mapping"
    dx=$((x - want_x)) dy=$((y - want_y))
    [ $((dx * dx)) -le $((slack * slack)) ] && [ $((dy * dy)) -le $((slack * slack)) ] || return 1
    if grep -q '^asked' "$dir/run"; then asked=asked; else asked=unasked; fi
    echo "the frame $asked" && [ "$asked" = "$1" ]
}

use_wm openbox --sm-disable
framed_centred asked
use_wm fluxbox
framed_centred unasked
# Fluxbox in disguise: offering no frame request, under another name.
xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED _NET_SUPPORTING_WM_CHECK
xprop -id "$(xprop -root _NET_SUPPORTING_WM_CHECK | sed 's/.* //')" -f _NET_WM_NAME 8u -set _NET_WM_NAME KWin
framed_centred unasked

# Two monitors from here on, the primary one right of and below the other, as X says.
xrandr --setmonitor left 256/68x1024/271+0+0 none >/dev/null
xrandr --setmonitor '*right' 1024/271x768/203+256+200 screen >/dev/null
left=256 top=200 width=1024 height=768
xrandr --listmonitors | grep -q '^ *0: \*right 1024/271x768/203+256+200 '
use_wm twm
framed_centred unasked window
# Under a compositing manager the window is shown only once its frame, told after the mapping, has
# been moved where it belongs; where no frame is ever told, after the bounded wait.
xcompmgr 2>/dev/null & compositor=$!
slack=1; framed_centred unasked; slack=0
kill -KILL $wm && wait $wm 2>/dev/null || true
wm=""
framed_centred unasked

