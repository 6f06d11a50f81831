#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program file as built: the version record and icon group 1 with its one image 30001,
# read back from it as Windows reads them, and its symbols beside it, not in it. (That it needs no
# DLL beside it, the installed program's play shows; that the icon is the game's, the window test,
# against the same .ico.) The trace shows the failing check.
#   program_file_test.sh Kovelith.exe VERSION
set -eux
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT; trap 'exit 143' TERM; trap 'exit 129' HUP # through the EXIT trap
x86_64-w64-mingw32-windres -i "$1" -O rc | sed -e 's/^ *//' -e 's:\s*/\*.*\*/.*::' >"$tmp/rc"

# Numeric identifiers only: a symbolic VS_VERSION_INFO would become a named resource Windows never reads.
[ "$(grep -oE '^[0-9]+ [0-9A-Z]+' "$tmp/rc" | tr '\n' ' ')" = "30001 3 1 14 1 VERSIONINFO " ]

# The version 1.2.3 as the numbers 1, 2, 3, 0 and as the text 1.02; the name in Japanese as UTF-16,
# which a wrong code page would garble; the language Japanese; the group's one 32x32 image.
echo "$2" | awk -F. '{ printf "FILEVERSION %d, %d, %d, 0\nVALUE \"ProductVersion\", \"%d.%02d\"\n", $1, $2, $3, $1, $2 }' >"$tmp/want"
cat >>"$tmp/want" <<'LINES'
VALUE "ProductName", L"\x306c\x3082\x3055\x3051\x308a\xff1f"
VALUE "Translation", 0x411, 1200
"\040\040\020\000", 1, 4, 0x2e8L, 30001
LINES
[ -z "$(grep -Fxv -f "$tmp/rc" "$tmp/want")" ]

# The symbols go beside the program, in the file its debug link names.
[ -z "$(x86_64-w64-mingw32-nm "$1" 2>/dev/null)" ]
x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$tmp/link" "$1" "$tmp/stripped"
[ "$(head -zn1 "$tmp/link" | tr -d '\0')" = Kovelith.exe.debug ]
x86_64-w64-mingw32-nm "$(dirname "$1")/Kovelith.exe.debug" | grep -q ' T main$'
