#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program file as built: the version record, icon group 1 and its one image 30001 read
# back from it as Windows reads them, and no DLL to ship beside it (neither Qt's nor MinGW's).
#   program_file_test.sh Kovelith.exe VERSION ICO
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
x86_64-w64-mingw32-windres -i "$1" -O rc | sed -e 's/^ *//' -e 's:\s*/\*.*\*/.*::' >"$tmp/rc"
# 1.2.3 is shown as the numbers 1, 2, 3, 0 and as the text 1.02.
numbers=$(echo "$2" | awk -F. '{ printf "%d, %d, %d, 0", $1, $2, $3 }')
text=$(echo "$2" | awk -F. '{ printf "%d.%02d", $1, $2 }')
fail=0

# Numeric identifiers only: a symbolic VS_VERSION_INFO would become a named resource Windows never reads.
resources=$(grep -oE '^[0-9]+ [0-9A-Z]+' "$tmp/rc" | tr '\n' ' ')
[ "$resources" = "30001 3 1 14 1 VERSIONINFO " ] || { echo "resources: $resources"; fail=1; }
[ "$(grep -c '^BLOCK "[0-9A-F]*"$' "$tmp/rc")" = 1 ] || { echo "more than one language block"; fail=1; }

# The Japanese strings as UTF-16, which a wrong code page would garble.
while read -r line; do
    grep -Fxq "$line" "$tmp/rc" || { echo "missing: $line"; fail=1; }
done <<LINES
FILEVERSION $numbers
PRODUCTVERSION $numbers
BLOCK "041104B0"
VALUE "FileDescription", L"\\x306c\\x3082\\x3055\\x3051\\x308a\\xff1f"
VALUE "FileVersion", "$text"
VALUE "InternalName", "Kovelith"
VALUE "OriginalFilename", "Kovelith.exe"
VALUE "ProductName", L"\\x306c\\x3082\\x3055\\x3051\\x308a\\xff1f"
VALUE "ProductVersion", "$text"
VALUE "Translation", 0x411, 1200
"\\040\\040\\020\\000", 1, 4, 0x2e8L, 30001
LINES

# Image 30001 holds the bytes of the .ico's one image, compared as little-endian 32-bit words.
offset=$(od -An -j18 -N4 -tu4 "$3" | tr -d ' ')
tail -c +$((offset + 1)) "$3" | od -An -v -tx4 | tr -s ' ' '\n' | grep . >"$tmp/ico"
sed -n '/^30001 3/,/^END/p' "$tmp/rc" | grep -oE '0x[0-9a-f]+' | xargs printf '%08x\n' >"$tmp/image"
cmp -s "$tmp/ico" "$tmp/image" || { echo "image 30001 differs from the .ico's image"; fail=1; }

shipped=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | grep -iE '^(lib|qt)' || true)
[ -z "$shipped" ] || { echo "needs DLLs beside it:" $shipped; fail=1; }
exit $fail
