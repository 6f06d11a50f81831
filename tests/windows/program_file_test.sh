#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program file as built: the version record, icon group 1 and its one image 30001 read
# back from it as Windows reads them. (That it needs no DLL beside it, the installed program's play shows.)
#   program_file_test.sh Kovelith.exe VERSION ICO
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
x86_64-w64-mingw32-windres -i "$1" -O rc | sed -e 's/^ *//' -e 's:\s*/\*.*\*/.*::' >"$tmp/rc"
fail=0

# Numeric identifiers only: a symbolic VS_VERSION_INFO would become a named resource Windows never reads.
resources=$(grep -oE '^[0-9]+ [0-9A-Z]+' "$tmp/rc" | tr '\n' ' ')
[ "$resources" = "30001 3 1 14 1 VERSIONINFO " ] || { echo "resources: $resources"; fail=1; }

# The version 1.2.3 as the numbers 1, 2, 3, 0 and as the text 1.02; the name in Japanese as UTF-16,
# which a wrong code page would garble; the language Japanese; the group's one 32x32 image.
echo "$2" | awk -F. '{ printf "FILEVERSION %d, %d, %d, 0\nVALUE \"ProductVersion\", \"%d.%02d\"\n", $1, $2, $3, $1, $2 }' >"$tmp/want"
cat >>"$tmp/want" <<'LINES'
VALUE "ProductName", L"\x306c\x3082\x3055\x3051\x308a\xff1f"
VALUE "Translation", 0x411, 1200
"\040\040\020\000", 1, 4, 0x2e8L, 30001
LINES
missing=$(grep -Fxv -f "$tmp/rc" "$tmp/want" || true)
[ -z "$missing" ] || { echo "missing: $missing"; fail=1; }

# Image 30001 holds the bytes of the .ico's one image, compared as little-endian 32-bit words.
offset=$(od -An -j18 -N4 -tu4 "$3" | tr -d ' ')
tail -c +$((offset + 1)) "$3" | od -An -v -tx4 | tr -s ' ' '\n' | grep . >"$tmp/ico"
sed -n '/^30001 3/,/^END/p' "$tmp/rc" | grep -oE '0x[0-9a-f]+' | xargs printf '%08x\n' >"$tmp/image"
cmp -s "$tmp/ico" "$tmp/image" || { echo "image 30001 differs from the .ico's image"; fail=1; }
exit $fail
