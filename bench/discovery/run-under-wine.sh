#!/usr/bin/env bash
# Runs the search timing program under Wine with the program and its wineserver pinned to
# one CPU, in a prefix of its own whose drive D: is a Linux folder holding the tree.
#
#   bench/discovery/run-under-wine.sh <build dir> [rounds] [tree folder]
#
# The tree (about 100,000 entries) is built on the first run and kept in the folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-7}
tree=${3:-${TMPDIR:-/tmp}/sf-scan-bench-tree}

export WINEPREFIX="$build/scan-bench/prefix"
. "$root/scripts/wine-env.sh"
sf_wine_prepare_prefix
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
mkdir -p "$tree"
ln -sfn "$tree" "$WINEPREFIX/dosdevices/d:"

# Wine's background services outlive the program and keep its output open, so the output
# goes to a file (not a pipe), and ending the server ends them.
out=$(mktemp)
trap 'wineserver -k 2>/dev/null || true; rm -f "$out"' EXIT
taskset -c 0 wineserver -p </dev/null >/dev/null 2>&1
taskset -c 0 wine "$build/bench/discovery/discovery_scan_bench.exe" 'D:\' "$rounds" </dev/null >"$out" 2>&1
cat "$out"
