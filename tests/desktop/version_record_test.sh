#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Compiles the Windows resource script with MinGW's windres, decompiles the result and checks what
# Windows reads from it: the version record, icon group 1 and its one image 30001. Given a built
# program, reads its resources back from the program file instead.
#   version_record_test.sh RESOURCES_DIR [PROGRAM.exe]
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# MinGW's default preprocessor is the cross gcc, which the Debian package lacks.
compiled=${2:-$tmp/Kovelith.res}
[ -n "${2:-}" ] || x86_64-w64-mingw32-windres --preprocessor=cpp -i "$1/Kovelith.rc" -O res -o "$compiled"
x86_64-w64-mingw32-windres -i "$compiled" -O rc | sed -e 's/^ *//' -e 's:\s*/\*.*\*/.*::' >"$tmp/rc"
fail=0

# Numeric identifiers only: a symbolic VS_VERSION_INFO would become a named resource Windows never reads.
resources=$(grep -oE '^[0-9]+ [0-9A-Z]+' "$tmp/rc" | tr '\n' ' ')
[ "$resources" = "30001 3 1 14 1 VERSIONINFO " ] || { echo "resources: $resources"; fail=1; }
[ "$(grep -c '^BLOCK "[0-9A-F]*"$' "$tmp/rc")" = 1 ] || { echo "more than one language block"; fail=1; }

# The Japanese strings as UTF-16, which a wrong code page would garble.
while read -r line; do
    grep -Fxq "$line" "$tmp/rc" || { echo "missing: $line"; fail=1; }
done <<'LINES'
FILEVERSION 1, 0, 0, 0
PRODUCTVERSION 1, 0, 0, 0
BLOCK "041104B0"
VALUE "FileDescription", L"\x306c\x3082\x3055\x3051\x308a\xff1f"
VALUE "FileVersion", "1.00"
VALUE "InternalName", "Kovelith"
VALUE "OriginalFilename", "Kovelith.exe"
VALUE "ProductName", L"\x306c\x3082\x3055\x3051\x308a\xff1f"
VALUE "ProductVersion", "1.00"
VALUE "Translation", 0x411, 1200
"\040\040\020\000", 1, 4, 0x2e8L, 30001
LINES

# Image 30001 holds the bytes of the .ico's one image, compared as little-endian 32-bit words.
offset=$(od -An -j18 -N4 -tu4 "$1/Kovelith.ico" | tr -d ' ')
tail -c +$((offset + 1)) "$1/Kovelith.ico" | od -An -v -tx4 | tr -s ' ' '\n' | grep . >"$tmp/ico"
sed -n '/^30001 3/,/^END/p' "$tmp/rc" | grep -oE '0x[0-9a-f]+' | xargs printf '%08x\n' >"$tmp/image"
cmp -s "$tmp/ico" "$tmp/image" || { echo "image 30001 differs from the .ico's image"; fail=1; }
exit $fail
