#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (CPack installs the build into a temporary prefix for it), checks its
# control fields and file list, and validates the menu entry and AppStream metadata it installs.
#   check-package.sh BUILD_DIR
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
check Package "$(field Package)" '^kovelith$'
check Version "$(field Version)" '^1\.0\.0'
check Section "$(field Section)" '^games$'
check Maintainer "$(field Maintainer)" '^[^<]+ <[^>]+@[^>]+>$'
check Description "$(field Description)" '^[a-z].+'
# Computed from the program's libraries (libqt6gui6 also brings the X11 plugin and the .ico reader),
# plus the fonts it names.
for package in libc6 libqt6widgets6 libqt6gui6 libqt6core6 fonts-ipafont-gothic fonts-ipafont-mincho; do
    check Depends "$(field Depends)" "(^|, )$package( |,|$)"
done

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort -k2)
expected="-rwxr-xr-x ./usr/games/Kovelith
-rw-r--r-- ./usr/share/applications/kovelith.desktop
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/kovelith.png
-rw-r--r-- ./usr/share/metainfo/io.github.kovelith.kovelith.metainfo.xml"
[ "$files" = "$expected" ] || { printf 'package files:\n%s\nexpected:\n%s\n' "$files" "$expected"; fail=1; }

dpkg-deb -x "$deb" "$tmp/root"
entry=$tmp/root/usr/share/applications/kovelith.desktop
check Exec "$(grep ^Exec= "$entry")" '^Exec=Kovelith$'
check Icon "$(grep ^Icon= "$entry")" '^Icon=kovelith$'
# desktop-file-validate exits 0 on some errors, so its words count, not its status.
report=$(desktop-file-validate "$entry" 2>&1 || true)
if printf '%s' "$report" | grep -Eqi 'error|warning'; then echo "$report"; fail=1; fi
# Validates the metadata and ties it to the installed menu entry; warnings fail it too.
appstreamcli validate-tree --no-net "$tmp/root" || fail=1
exit $fail
