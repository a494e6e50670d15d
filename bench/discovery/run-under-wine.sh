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

. "$root/scripts/wine-bench.sh"
sf_bench_run "$build/scan-bench/prefix" "$tree" "$build/bench/discovery/discovery_scan_bench.exe" 'D:\' "$rounds"
