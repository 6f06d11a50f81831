#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program under Wine on a private Xvfb, as a Windows player gets it: installed from its
# installer, played by the Linux end-to-end driver (over what may be left where its lock goes),
# started four times at once, checked for what only Windows decides (the frame's place, the faces
# and colours of the player's system), upgraded and removed.
#   process_test.sh DRIVER INSTALLER.msi WINDOW_RECT.exe CPACK_CONFIG  (on a display of its own)
set -eu
# Wine names files and windows in the locale's character set: the Japanese names need UTF-8.
export LC_ALL=C.UTF-8
driver=$1 msi=$2 window_rect=$3 cpack_config=$4
# Wine's desktop keeps the display it was started with: let a server of earlier runs end.
wineserver --wait
export WINEDLLOVERRIDES="winemenubuilder.exe=d" # no menu entries for the host's desktop
tmp=$(mktemp -d)
xorg=
# The prefix prepared again starts Wine again: ended once more. A second signal does not cut this short.
trap 'trap "" INT TERM HUP; stop_all; [ -z "$xorg" ] || kill $xorg; prepared; stop_all; rm -rf "$tmp"' EXIT
trap 'exit 130' INT; trap 'exit 143' TERM; trap 'exit 129' HUP # through the EXIT trap
fail=0
# within SECONDS command...: the command run again until it succeeds, for SECONDS at most.
within() {
    deadline=$(($(date +%s) + $1)); shift
    until "$@"; do [ "$(date +%s)" -lt $deadline ] || return 1; sleep 0.3; done
}
check() { # label, command...
    label=$1; shift
    if "$@"; then echo "ok: $label"; else echo "FAILED: $label"; fail=1; fi
}

place() { winepath -u "$(wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')" | sed 's:/$::'; } # a Windows folder, as a Linux path
user=$(place USERPROFILE) temp=$(place TEMP)
program="$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')\\Programs\\Kovelith\\Kovelith.exe"
shortcut="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ぬもさけり？.lnk"

entries() { # the versions of the uninstall entries named ぬもさけり？, one a line
    for root in HKLM HKCU; do
        wine reg export "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" "$tmp/u.reg" /y >/dev/null 2>&1 || continue
        iconv -f UTF-16 -t UTF-8 "$tmp/u.reg" | tr -d '\r' | awk -F'"' '/^\[/ { if (ours) print version; ours = 0 }
            $2 == "DisplayName" { ours = $4 == "ぬもさけり？" } $2 == "DisplayVersion" { version = $4 } END { if (ours) print version }'
    done
}
install() { wine msiexec /i "$(winepath -w "$1")" /qn; }
refused() { ! install "$1"; }
stop_all() { wineserver -k 2>/dev/null || true; wineserver -w; }
# The prefix as prepared, with the MS P faces and the scheme's own colours: before the checks, whatever
# an earlier run left, and after them, however they end.
prepared() {
    "$(dirname "$0")/../support/wine-prefix" "ＭＳ Ｐゴシック=IPAPGothic" "MS PGothic=IPAPGothic" "ＭＳ Ｐ明朝=IPAPMincho" "MS PMincho=IPAPMincho" "Yu Gothic=" "Yu Mincho="
    wine reg delete 'HKCU\Control Panel\Colors' /v AppWorkspace /f >/dev/null 2>&1 || true
}
centred() { # window_rect's answer, and the monitor expected: the window lies on it, centred with its frame
    set -- $1 "$2"
    [ "$5 $6 $7 $8" = "$9" ] && [ $1 -eq $(($5 + ($7 - $3) / 2)) ] && [ $2 -eq $(($6 + ($8 - $4) / 2)) ]
}
prepared

# Installed for the player alone, silently; the same version again is a repair.
check "installs" install "$msi"
check "installs again" install "$msi"
check "program, shortcut and one uninstall entry" \
    test -f "$user/AppData/Local/Programs/Kovelith/Kovelith.exe" -a -f "$shortcut" -a "$(entries)" = 1.0.0

# The installed program, played from outside, over what may be left where its lock goes. Wine keeps
# its server under TMPDIR: the driver's sandbox must not start a second one on the prefix, so the
# program gets this test's TMPDIR back, or none (Debian 13's Wine 10 aborts at start with any TMPDIR set).
tmpdir=${TMPDIR+"TMPDIR=$TMPDIR"}
# Its report indented: the rows it skips for Windows are not this check's skips.
check "plays" env KOVELITH_COMMAND="env ${tmpdir:--u TMPDIR} wine $program" KOVELITH_LOCK_DIR="$temp" "$driver" -o "$tmp/plays,txt"
sed 's/^/    /' "$tmp/plays"
# Four copies started at the same instant, over the lock the last of those left: one window, once
# the copies that give way have ended (each copy is the process wine was started as; an ended one
# is a zombie until waited for) and one has shown its window.
stop_all
copies=""
for _ in 1 2 3 4; do wine "$program" >/dev/null 2>&1 & copies="$copies $!"; done
# xdotool stops at an X error when a window goes while it looks (the copies that give way): ask again.
shown() {
    tries=0
    while ! xdotool search --onlyvisible --name '^ぬもさけり？$' >"$tmp/shown" 2>"$tmp/shown.err" &&
        grep -q 'X Error' "$tmp/shown.err" && [ $tries -lt 50 ]; do sleep 0.2; tries=$((tries + 1)); done
    wc -l <"$tmp/shown"
}
settled() { [ "$(cat $(printf '/proc/%s/stat ' $copies) 2>/dev/null | grep -vc ') Z ')" -le 1 ] && [ "$(shown)" -ge 1 ]; }
within 60 settled || echo "not settled within a minute"
windows=$(shown)
check "four copies at once: one window ($windows)" test "$windows" -eq 1
stop_all

# Centred with its frame, in the marker colour of the player's scheme; the label in a Mincho face and
# "次" and "終" in a Gothic one, drawn the same from the fallback faces as from the MS P faces.
# looked FILE: the game's window taken into FILE without the board panel, which every deal changes, once
# drawn (in more than a few colours) and alike in two looks: false while it is not so. A window gone
# between finding it and taking it (a window of Wine's before the game's) is looked for again.
looked() {
    window=$(xdotool search --onlyvisible --name '^ぬもさけり？$' 2>/dev/null | head -n 1)
    [ -n "$window" ] || return 1 # import would wait for a click
    timeout --foreground 10 import -window "$window" png:- 2>/dev/null | convert - -fill black -draw 'rectangle 64,120 696,536' "ppm:$1.new" 2>/dev/null &&
        [ "$(convert "$1.new" -format '%k' info:)" -gt 3 ] || return 1
    cmp -s "$1.new" "$1" && return 0
    mv "$1.new" "$1" && return 1
}
appearance() { # picture file
    wine "$program" >/dev/null 2>&1 &
    within 60 looked "$1" || { echo "FAILED: no window drawn and still within a minute"; return 1; }
}
appearance "$tmp/ms-p-faces.ppm"
outer=$(wine "$window_rect" | tr -d '\r' || true)
screen=$(xdpyinfo | awk '/dimensions:/ { sub("x", " ", $2); print $2 }')
check "centred with its frame ($outer)" centred "$outer" "0 0 $screen"
stop_all
wine reg add 'HKCU\Control Panel\Colors' /v AppWorkspace /d '10 200 30' /f >/dev/null
"$(dirname "$0")/../support/wine-prefix" "ＭＳ Ｐゴシック=" "MS PGothic=" "ＭＳ Ｐ明朝=" "MS PMincho=" "Yu Gothic=IPAPGothic" "Yu Mincho=IPAPMincho"
appearance "$tmp/fallback-faces.ppm"
check "fallback faces draw the same" cmp -s "$tmp/ms-p-faces.ppm" "$tmp/fallback-faces.ppm"
xdotool mousemove --window "$window" 144 184 click 1 mousemove 0 0 # character button 0
marker_shown() { # the marker's pixels in the scheme's colour, at least 500 of them
    marker=$(timeout --foreground 10 import -window "$window" png:- | convert - -fill black +opaque 'rgb(10,200,30)' \
        -fill white -opaque 'rgb(10,200,30)' -format '%[fx:int(mean*w*h)]' info:) && [ "$marker" -ge 500 ]
}
within 10 marker_shown || true
check "marker in the scheme's workspace colour ($marker pixels)" test "${marker:-0}" -ge 500
stop_all

# Two monitors, the primary right of and below the other: two outputs of X's dummy driver, which
# Wine reads through RandR as Windows knows its monitors. Qt opens the window on the monitor under
# the pointer: put on the other one, whose corner Windows puts at -1024,-100, the window is centred there.
mkfifo "$tmp/two"
# A seat of its own keeps the server off the machine's consoles.
Xorg -displayfd 3 -seat kovelith -config "$(cd "$(dirname "$0")" && pwd)/two-monitors.conf" -logfile "$tmp/xorg.log" -noreset \
    -nolisten tcp 3>"$tmp/two" >/dev/null 2>&1 &
xorg=$!
read -r two <"$tmp/two"
outer=$(
    export DISPLAY=:$two
    xrandr --addmode DUMMY1 1280x1024
    xrandr --output DUMMY0 --mode 1024x768 --pos 0x0 --output DUMMY1 --mode 1280x1024 --pos 1024x100 --primary
    xrandr >/dev/null # the driver reports the new output connected only when asked afresh; Wine asks for what is current
    xdotool mousemove 512 384
    wine "$program" >/dev/null 2>&1 &
    # What Windows tells, once the window is centred there or after 15 s.
    told() { outer=$(wine "$window_rect" | tr -d '\r') && centred "$outer" "-1024 -100 1024 768"; }
    outer=""
    timeout --foreground 60 xdotool search --sync --onlyvisible --name '^ぬもさけり？$' >/dev/null && within 15 told || true
    echo "$outer"
)
check "centred on the other monitor ($outer)" centred "$outer" "-1024 -100 1024 768"
stop_all
kill $xorg
xorg=

# A newer version replaces this one; this one is then refused; removing leaves nothing behind.
cpack -G External -D CPACK_PACKAGE_VERSION=1.0.1 --config "$cpack_config" -B "$tmp/newer" >/dev/null
newer=$(ls "$tmp"/newer/*.msi)
check "newer version installs" install "$newer"
check "and replaces the older one" test "$(entries)" = 1.0.1
check "older version refused" refused "$msi"
check "removes itself" wine msiexec /x "$(winepath -w "$newer")" /qn
left=$(find "$user" \( -iname '*kovelith*' -o -name 'ぬもさけり？*' \) -not -path "$temp/*"; entries
       ! wine reg query 'HKCU\Software\Kovelith' >/dev/null 2>&1 || echo 'HKCU\Software\Kovelith')
check "nothing left behind: $left" test -z "$left"
exit $fail
