#!/bin/sh
# Installs the build into a private prefix, checks the file list and validates the menu entry and
# the AppStream metadata as installed.
#   check-install.sh BUILD_DIR
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$1" --prefix "$tmp/usr" >/dev/null
cd "$tmp/usr"

files=$(find . -type f | sort)
expected="./games/Kovelith
./share/applications/kovelith.desktop
./share/icons/hicolor/32x32/apps/kovelith.png
./share/metainfo/io.github.kovelith.kovelith.metainfo.xml"
if [ "$files" != "$expected" ]; then
    printf 'installed files:\n%s\nexpected:\n%s\n' "$files" "$expected"
    exit 1
fi
[ -x games/Kovelith ] || { echo "games/Kovelith is not executable"; exit 1; }

# desktop-file-validate exits 0 on some errors, so its words count, not its status.
report=$(desktop-file-validate share/applications/kovelith.desktop 2>&1 || true)
if printf '%s' "$report" | grep -Eqi 'error|warning'; then
    echo "$report"
    exit 1
fi
grep -qx 'Exec=Kovelith' share/applications/kovelith.desktop || { echo "Exec does not name the program"; exit 1; }
grep -qx 'Icon=kovelith' share/applications/kovelith.desktop || { echo "Icon does not name the installed icon"; exit 1; }

# Validates the metadata and ties it to the installed menu entry; warnings fail it too.
appstreamcli validate-tree --no-net "$tmp"
