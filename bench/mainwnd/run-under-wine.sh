#!/usr/bin/env bash
# Times a whole run started from the main window against bare loops of its file operations
# (mainwnd_run_bench) under Wine, with everything pinned to one processor: this script, and
# with it the X server, the wineserver of a prefix of its own, the program and its threads.
# The program's folders lie on drive D:, a Linux folder (by default in /dev/shm, a memory
# file system, so that the disk's write-back does not blur the figures).
#
#   bench/mainwnd/run-under-wine.sh <build dir> [rounds] [work folder]
#
# SF_BENCH_CPU names the processor (0 unless set). The work folder is emptied before and
# after the run. The processor time of the wineserver and of the X server is shown beside
# the program's.
set -euo pipefail
cpu=${SF_BENCH_CPU:-0}
if [ "$(taskset -pc $$ | sed 's/.*: //')" != "$cpu" ]; then
  exec taskset -c "$cpu" "$0" "$@"
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-5}
work=${3:-/dev/shm/sf-mainwnd-run-bench}

export WINEPREFIX="$build/mainwnd-bench/prefix"
export SF_WINE_UNMANAGED=1
. "$root/scripts/wine-env.sh"
. "$root/scripts/xvfb.sh"
sf_wine_prepare_prefix
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work"
ln -sfn "$work" "$WINEPREFIX/dosdevices/d:"

out=$(mktemp)
# Wine's background services outlive the program and keep its output open, so the output
# goes to a file (not a pipe), and ending the server ends them.
trap 'wineserver -k 2>/dev/null || true; sf_stop_xvfb; rm -rf "$work" "$out"' EXIT
sf_start_xvfb
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
echo "processor $cpu; $(uptime)"
status=0
wine "$build/bench/mainwnd/mainwnd_run_bench.exe" 'D:\run' "$rounds" "wineserver=$(sf_wine_server_pid)" \
  "Xvfb=$SF_XVFB_PID" </dev/null >"$out" 2>&1 || status=$?
cat "$out"
exit $status
