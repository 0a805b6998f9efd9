#!/usr/bin/env bash
# Checks a built Windows program without running it:
#   check_pe_image.sh OBJDUMP IMAGE [--imports-by-ordinal DLL ORDINAL...]
#   check_pe_image.sh OBJDUMP IMAGE [--imports-only DLL...]
# The image must be a 32-bit (PE32) GUI program; with --imports-by-ordinal it
# must import from DLL exactly the ORDINALs given, each by ordinal, none by
# name; with --imports-only it must import from no other DLL than those given
# (letter case ignored).
set -euo pipefail
objdump=$1 image=$2
shift 2
headers=$("$objdump" -p "$image")
status=0
fail() { echo "$image: $*" >&2; status=1; }

grep -q 'file format pei-i386' <<<"$headers" || fail "not an i386 PE image"
grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$headers" || fail "not PE32"
grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$headers" || fail "not a GUI program"

if [ "${1:-}" = --imports-by-ordinal ]; then
  dll=$2
  shift 2
  expected=$(printf '%s\n' "$@" | sort -n | tr '\n' ' ')
  # The rows of the DLL's import block: "vma hint/ordinal name".
  rows=$(awk -v dll="$dll" '
    $0 ~ /DLL Name:/ { inside = (tolower($3) == tolower(dll)); next }
    inside && /^[[:space:]]*$/ { inside = 0 }
    inside && $1 ~ /^[0-9a-f]+$/ { print $2, $3 }' <<<"$headers")
  [ -n "$rows" ] || fail "imports nothing from $dll"
  byName=$(awk '$2 != "<none>"' <<<"$rows")
  [ -z "$byName" ] || fail "imports from $dll by name: $(tr '\n' ' ' <<<"$byName")"
  actual=$(awk '{ print $1 }' <<<"$rows" | sort -n | tr '\n' ' ')
  [ "$actual" = "$expected" ] || fail "imports ordinals $actual from $dll, expected $expected"
fi
if [ "${1:-}" = --imports-only ]; then
  shift
  allowed=$(printf '%s\n' "$@" | tr '[:upper:]' '[:lower:]')
  while read -r dll; do
    grep -qxF "$dll" <<<"$allowed" || fail "imports $dll, which is not among $*"
  done < <(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers")
fi
exit $status
