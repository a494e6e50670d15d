#!/usr/bin/env bash
# Checks the release file: named with the version its version resource carries, no debug
# sections left, a debug link naming the symbols file beside it, and that file holding
# the debug information.
# Usage: check_release.sh <objcopy> <release exe>
set -euo pipefail
objcopy=$1 exe=$2
objdump=${objcopy%objcopy}objdump
debug="$exe.debug"
fail() { echo "release: $*" >&2; exit 1; }

[ -f "$exe" ] || fail "$exe missing"
[ -f "$debug" ] || fail "$debug missing"
sections=$("$objdump" -h "$exe")
grep -q '\.debug_' <<<"$sections" && fail "$exe still holds debug sections"
grep -q '\.gnu_debuglink' <<<"$sections" || fail "$exe has no debug link"
link=$(mktemp)
trap 'rm -f "$link"' EXIT
"$objcopy" --dump-section .gnu_debuglink="$link" "$exe" /dev/null 2>/dev/null || true
[ "$(tr '\0' '\n' <"$link" | head -1)" = "$(basename "$debug")" ] ||
  fail "the debug link does not name $(basename "$debug")"
"$objdump" -h "$debug" | grep -q '\.debug_info' || fail "$debug holds no debug information"

# The version resource keeps its strings in UTF-16: FileVersion, then its value.
version=$(strings -el "$exe" | grep -A1 -x FileVersion | tail -1)
[ "$(basename "$exe")" = "syncfolder-$version.exe" ] || fail "named $(basename "$exe"), version resource says $version"

size=$(stat -c %s "$exe")
[ "$size" -lt 8000000 ] || fail "$exe is $size bytes"
echo "release: $(basename "$exe") $size bytes, symbols in $(basename "$debug")"
