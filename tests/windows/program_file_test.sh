#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program file as built: the version record and icon group read back from it, and no
# DLL to ship beside it (neither Qt's nor the MinGW runtime's).
#   program_file_test.sh Kovelith.exe VERSION ICO
set -eu
fail=0
"$(dirname "$0")/version_record.sh" "$@" || fail=1
shipped=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | grep -iE '^(lib|qt)' || true)
[ -z "$shipped" ] || { echo "needs DLLs beside it:" $shipped; fail=1; }
exit $fail
