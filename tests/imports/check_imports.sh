#!/usr/bin/env bash
# Checks that the program asks the loader for nothing newer than Windows 7 SP1: every
# DLL!Function of its import table (DLL!#n for an import by ordinal), as objdump -p reads
# it, must be in the committed list, each entry of which was checked against its
# minimum Windows version when it joined. The list itself names no API set and no
# shcore.dll (Windows 8.1), which the program loads at run time where it exists.
# Usage: check_imports.sh <objdump> <exe> <list>
set -euo pipefail
objdump=$1 exe=$2 list=$3
fail() { echo "imports: $*" >&2; exit 1; }

[ -f "$exe" ] || fail "$exe missing"
[ -f "$list" ] || fail "$list missing"

# DLL names compare without case, as the loader compares them; function names exactly.
normalise() { awk -F'!' 'NF == 2 { print tolower($1) "!" $2 }'; }

allowed=$(grep -v '^[[:space:]]*#' "$list" | sed '/^[[:space:]]*$/d' | normalise | sort -u)
[ -n "$allowed" ] || fail "$list lists nothing"
banned=$(grep -E '^(api-ms-win-|ext-ms-win-|shcore\.dll!)' <<<"$allowed" || true)
[ -z "$banned" ] || fail "$list names what Windows 7 SP1 lacks:"$'\n'"$banned"

# In the import tables, each "DLL Name:" line is followed by one line per import: its
# address, then its hint and name, or for an import by ordinal the ordinal (in hex on
# 64-bit files) and "<none>".
read_imports() {
  "$objdump" -p "$exe" | awk '
    /^[[:space:]]*DLL Name: / { dll = $3; next }
    /^$/ { dll = "" }
    dll != "" && /^\t[0-9a-fA-F]+\t/ { print dll, $2, $3 }' |
    while read -r dll hint name; do
      if [ "$name" = "<none>" ]; then
        echo "$dll!#$((16#$hint))"
      else
        echo "$dll!$name"
      fi
    done
}
imports=$(read_imports | normalise | sort -u)
[ -n "$imports" ] || fail "no import table read from $exe"

unlisted=$(comm -23 <(echo "$imports") <(echo "$allowed"))
if [ -n "$unlisted" ]; then
  echo "imports: $(basename "$exe") imports what $(basename "$list") does not list:" >&2
  echo "$unlisted" >&2
  echo "imports: look up each one's minimum Windows version; a function newer than Windows 7 SP1 goes through common/newerapi.h" >&2
  exit 1
fi
echo "imports: $(wc -l <<<"$imports") imports of $(basename "$exe"), all in $(basename "$list") ($(wc -l <<<"$allowed") entries)"
