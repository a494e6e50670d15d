#!/usr/bin/env bash
# Runs a sync timing program (sync_copy_bench unless named) under Wine with the program
# and its wineserver pinned to one CPU, in a prefix of its own, writing into a Linux folder
# mapped as drive D:.
#
#   bench/sync/run-under-wine.sh <build dir> [runs] [work folder] [program]
#
# The work folder (about 3 GB at its peak, for the large files) is emptied before and
# after the run. By default it lies in /dev/shm, a memory file system, so that the disk's
# write-back does not blur the figures; the cost of each new name under Wine stays.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
runs=${2:-3}
work=${3:-/dev/shm/sf-sync-bench}
program=${4:-sync_copy_bench}

rm -rf "$work"
trap 'rm -rf "$work"' EXIT
. "$root/scripts/wine-bench.sh"
sf_bench_run "$build/sync-bench/prefix" "$work" "$build/bench/sync/$program.exe" "$runs" 'D:\bench'
