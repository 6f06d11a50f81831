#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Linux end-to-end driver plays the Windows program under Wine, on a private Xvfb.
#   process_test.sh DRIVER Kovelith.exe
set -eu
for tool in wine wineserver Xvfb xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "cannot run: $tool is missing" >&2; exit 1; }
done
[ -x "$1" ] || { echo "cannot run: no end-to-end driver at '$1' (the Linux build's process_play)" >&2; exit 1; }
# Wine's desktop keeps the display it was started with: let a server of earlier, display-less runs end.
wineserver --wait
KOVELITH_COMMAND="wine $2" exec "$(dirname "$0")/../support/with-xvfb" "$1"
