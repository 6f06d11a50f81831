#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (CPack installs the build into a temporary prefix for it), checks its
# control fields, has lintian check the whole package (which also misses a manual page, copyright or
# changelog), and validates the menu entry, icon and AppStream metadata it installs.
#   package_test.sh BUILD_DIR
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/*.deb)

fail=0
check() { # what, actual, expected pattern
    printf '%s' "$2" | grep -Eq "$3" || { echo "$1: '$2' does not match '$3'"; fail=1; }
}
field() { dpkg-deb -f "$deb" "$1"; }
# What lintian cannot know: the name players install it by, the fonts the window asks for by name,
# and Qt's Wayland plugin, which the game needs without an X server. Section, maintainer, the libraries
# linked and the menu entry's command are lintian's.
check Package "$(field Package)" '^kovelith$'
check Description "$(field Description)" '^[a-z].+'
check Depends "$(field Depends)" '(^|, )fonts-ipafont-gothic, fonts-ipafont-mincho(,|$)'
check Recommends "$(field Recommends)" '(^|, )qt6-wayland( |,|$)'

dpkg-deb -x "$deb" "$tmp/root"
[ -x "$tmp/root/usr/games/Kovelith" ] || { echo "the program is not /usr/games/Kovelith"; fail=1; }
# Every tag counts, pedantic ones too (lintian also says that it runs as root: not a tag).
tags=$(lintian --pedantic --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$tags" ] || { echo "lintian:"; echo "$tags"; fail=1; }

# desktop-file-validate exits 0 on some errors, so its words count, not its status.
report=$(desktop-file-validate "$tmp/root/usr/share/applications/io.github.kovelith.kovelith.desktop" 2>&1 || true)
if printf '%s' "$report" | grep -Eqi 'error|warning'; then echo "$report"; fail=1; fi
# Validates the metadata and ties it to the installed menu entry and icon; any remark fails it.
report=$(appstreamcli validate-tree --pedantic --no-net "$tmp/root" 2>&1) || fail=1
printf '%s\n' "$report" | grep -qx '✔ Validation was successful.' || { echo "$report"; fail=1; }
exit $fail
