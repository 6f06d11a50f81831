#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (CPack installs the build into a temporary prefix for it) and has lintian
# check it whole (which also misses a manual page, copyright or changelog, and a menu entry's command);
# then validates the menu entry and the AppStream metadata it installs, and reads the Japanese texts as a
# reader sees them. The trace shows the failing check.
#   package_test.sh BUILD_DIR
set -eux
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT; trap 'exit 143' TERM; trap 'exit 129' HUP # through the EXIT trap
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/*.deb)
# What lintian cannot know: the fonts the window asks for by name, and Qt's Wayland plugin, which the
# game needs without an X server.
dpkg-deb -f "$deb" Depends | grep -Eq '(^|, )fonts-ipafont-gothic, fonts-ipafont-mincho(,|$)'
dpkg-deb -f "$deb" Recommends | grep -Eq '(^|, )qt6-wayland( |,|$)'
# The libraries it links, as dpkg-shlibdeps names them: without it the package would install a game
# that cannot start.
dpkg-deb -f "$deb" Depends | grep -Eq '(^|, )libqt6widgets6'
# Every tag counts, pedantic ones too (lintian also says that it runs as root: not a tag).
tags=$(lintian --pedantic --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$tags" ]

dpkg-deb -x "$deb" "$tmp/root"
entry=$tmp/root/usr/share/applications/io.github.kovelith.kovelith.desktop
# desktop-file-validate exits 0 on some errors, so any word it says fails.
[ -z "$(desktop-file-validate "$entry" 2>&1)" ]
# The icon the menu entry names, which neither validator looks for.
[ -f "$tmp/root/usr/share/icons/hicolor/32x32/apps/$(sed -n 's/^Icon=//p' "$entry").png" ]
# The Japanese manual page, where man finds it in a Japanese locale (lintian checks it as a page).
[ -f "$tmp/root/usr/share/man/ja/man6/Kovelith.6.gz" ]
# Validates the metadata and ties it to the installed menu entry and icon; any remark fails it, but
# AppStream 0.16's (Debian 12) that it does not know yet the developer entry which 1.0 asks for.
report=$(LC_ALL=C.UTF-8 appstreamcli validate-tree --pedantic --no-net "$tmp/root" 2>&1) # its marks in any locale
expected='✔ Validation was successful.'
metainfo=$tmp/root/usr/share/metainfo/io.github.kovelith.kovelith.metainfo.xml
appstreamcli --version | grep -q ' 0\.16\.' && expected="${metainfo##*/}
  I: io.github.kovelith.kovelith:$(grep -n '<developer ' "$metainfo" | cut -d: -f1): unknown-tag developer

✔ Validation was successful: infos: 1"
[ "$report" = "$expected" ]

# Japanese as a reader sees it: no space between two Japanese characters, where a software centre
# joins the metadata's lines, a web page the lines of README.ja.md's paragraphs, or man sets its own
# lines, in a Japanese locale at two widths. Fails on, and prints, each such space.
unspaced() {
    perl -CSD -ne 'BEGIN { $j = qr/[\p{Han}\p{Hiragana}\p{Katakana}\x{3000}-\x{303F}\x{FF00}-\x{FFEF}]/ }
                   while (/(.{0,12}$j\s+$j.{0,12})/g) { print STDERR "spaced: $1\n"; $n++ }
                   END { exit($n ? 1 : 0) }'
}
joined() { perl -0777 -pe 's/(?<!\n)\n(?!\n)/ /g' "$1"; }
joined "$metainfo" | unspaced
joined "$(dirname "$0")/../../README.ja.md" | unspaced
localedef -i ja_JP -f UTF-8 "$tmp/ja_JP.UTF-8"
for width in 80 60; do
    LOCPATH=$tmp LC_ALL=ja_JP.UTF-8 MANWIDTH=$width man -l "$tmp/root/usr/share/man/ja/man6/Kovelith.6.gz" | unspaced
done
