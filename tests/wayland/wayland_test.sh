#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The game on a Wayland desktop, under a compositor of the test's own (weston, headless, with
# XWayland): with an X server at hand it runs on X11, centred; without one, or when told to, it runs
# natively on Wayland and maps its window under the application id. The trace shows the failing check.
#   wayland_test.sh KOVELITH
set -eux
game=$1 run=$(mktemp -d) compositor="" player=""
# The compositor and the game share one private home: the game finds the socket in its runtime directory.
sandbox=$(dirname "$0")/../support/sandbox
trap 'kill $player $compositor 2>/dev/null || true; rm -rf "$run"' EXIT
# A signal ends it through exit, for /bin/sh runs the EXIT trap on exit but not on a signal.
trap 'exit 130' INT; trap 'exit 143' TERM; trap 'exit 129' HUP
export WAYLAND_DISPLAY=wayland-test XDG_SESSION_TYPE=wayland
unset DISPLAY QT_QPA_PLATFORM
"$sandbox" "$run" weston --backend=headless-backend.so --use-pixman --xwayland --socket=$WAYLAND_DISPLAY \
    --width=1280 --height=1024 --idle-time=0 --log="$run/weston.log" >"$run/xwayland.log" 2>&1 & compositor=$!
timeout --foreground 10 sh -c 'until grep -q "xserver listening on display" "$0"; do sleep 0.1; done' "$run/weston.log" ||
    { echo "weston's XWayland never listened within 10 s"; cat "$run/weston.log"; exit 1; }
x11=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$run/weston.log")

# A Wayland session's environment, with XWayland's display: X11, and before it is mapped the window
# asks for the place centred on the 1280x1024 screen with the frame the compositor can tell beforehand
# (weston can tell none, and announces its frame only once the window is mapped: then the client
# area's), either way for an odd pixel; it never moves after. Where the window goes in the end is the
# compositor's call (weston honours no gravity, and now and then places the window itself).
DISPLAY=$x11 "$sandbox" "$run" "$game" & player=$!
window=$(DISPLAY=$x11 timeout --foreground 15 xdotool search --sync --onlyvisible --pid $player | head -n 1)
[ -n "$window" ] || { echo "the game's window never showed on XWayland within 15 s"; exit 1; }
extents=""
if DISPLAY=$x11 xprop -root _NET_SUPPORTED | grep -q _NET_REQUEST_FRAME_EXTENTS; then
    extents=$(DISPLAY=$x11 xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,)
fi
# left right top bottom, width height, x y
set -- ${extents:-0 0 0 0} $(DISPLAY=$x11 xwininfo -id "$window" | sed -n 's/^  Width: //p; s/^  Height: //p') \
    $(DISPLAY=$x11 xprop -id "$window" WM_NORMAL_HINTS | sed -n 's/.*location: \([0-9]*\), \([0-9]*\)$/\1 \2/p')
[ $# -eq 8 ]
# The margins left and right of the frame, and above and below it, differ by a pixel at most.
dx=$((2 * $7 - $1 + $5 + $2 - 1280)) dy=$((2 * $8 - $3 + $6 + $4 - 1024))
[ $((dx * dx)) -le 1 ] && [ $((dy * dy)) -le 1 ]
# And it has the window class the menu entry expects.
class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../resources/io.github.kovelith.kovelith.desktop")
DISPLAY=$x11 xprop -id "$window" WM_CLASS | grep -q "\"$class\"$"
kill $player; wait $player || true

# Natively on Wayland: the toplevel gets the application id, and once the compositor has configured it,
# a buffer is attached: the window is mapped, and the game still runs.
for environment in "-u DISPLAY" "DISPLAY=$x11 QT_QPA_PLATFORM=wayland"; do
    rm -f "$run/protocol" # not the last run's, which was mapped already
    "$sandbox" "$run" env $environment WAYLAND_DEBUG=client "$game" 2>"$run/protocol" & player=$!
    timeout --foreground 15 sh -c 'until sed "1,/ack_configure/d" "$0" | grep -q "\.attach(wl_buffer"; do sleep 0.1; done' "$run/protocol" ||
        { echo "the game's Wayland window ($environment) was never mapped within 15 s"; exit 1; }
    grep -q 'set_app_id("io.github.kovelith.kovelith")' "$run/protocol"
    kill $player; wait $player || true
done
