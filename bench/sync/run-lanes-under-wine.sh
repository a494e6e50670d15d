#!/usr/bin/env bash
# Runs in lanes under Wine, with the program and its wineserver pinned to one CPU
# (SF_BENCH_CPU, 0 unless set), in prefixes of their own, writing into Linux folders:
#   1. sync_lanes_bench: runs into 2, 4 and 8 version directories on the network drives
#      N: to U:, in lanes against one lane at a time, [runs] runs each;
#   2. with [other build dir] (a build of another commit, given this same
#      sync_local_bench.cpp and benchsupport.h): runs into local version directories with
#      no delay, sync_local_bench of this build and of the other in turn, [rounds] rounds
#      of [runs] runs each, the first program taking turns; then the medians of all their
#      runs and this build's over the other's.
#
#   bench/sync/run-lanes-under-wine.sh <build dir> [runs] [other build dir] [rounds]
#
# By default the folders lie in /dev/shm, a memory file system, so that the disk's
# write-back does not blur the figures; they are removed before and after.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
runs=${2:-3}
other=${3:+$(cd "$3" && pwd)}
rounds=${4:-5}
work=${SF_BENCH_WORK:-/dev/shm/sf-lanes-bench}

clear_work() { rm -rf "$work" "$work".?; }
clear_work
trap clear_work EXIT
. "$root/scripts/wine-bench.sh"

SF_BENCH_NETWORK_DRIVES="N O P Q R S T U" \
  sf_bench_run "$build/sync-bench/lanes-prefix" "$work" "$build/bench/sync/sync_lanes_bench.exe" "$runs" 'D:\bench'
[ -n "$other" ] || exit 0

times=$(mktemp -d)
for round in $(seq 1 "$rounds"); do
  order=("$build" "$other")
  [ $((round % 2)) -eq 0 ] && order=("$other" "$build")
  for program_build in "${order[@]}"; do
    clear_work
    name=this
    [ "$program_build" = "$build" ] || name=other
    out=$(sf_bench_run "$build/sync-bench/local-prefix" "$work" "$program_build/bench/sync/sync_local_bench.exe" \
      "$runs" 'D:\bench' | tr -d '\r')
    echo "$name build: $out"
    echo "$out" | sed -n 's/.*runs://p' | tr ' ' '\n' | sed '/^$/d' >>"$times/$name"
  done
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
this_median=$(median "$times/this")
other_median=$(median "$times/other")
echo
echo "local, no delay: this build ${this_median} ms, other build ${other_median} ms (medians of $((rounds * runs)) runs each)"
awk -v a="$this_median" -v b="$other_median" 'BEGIN { printf "this / other %.3f\n", a / b }'
rm -rf "$times"
