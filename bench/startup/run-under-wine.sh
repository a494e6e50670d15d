#!/usr/bin/env bash
# Times the program's start-up under Wine with a warm wineserver: the program as built,
# a stripped copy of it (x86_64-w64-mingw32-strip, as a release file would be) and an
# empty window program as the baseline, each started several times in the same run.
# The programs run from C: of a prefix of its own, whose drive D: holds the demo
# workspace, so that the first scan finds a few version directories as on a real disk.
#
#   bench/startup/run-under-wine.sh <build dir> [rounds] [label=<exe> ...]
#
# Further programs given as label=<path of an .exe> (another build of the program, say)
# are copied into the prefix and timed in the same run.
# Needs a DISPLAY; without one it starts Xvfb for the run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-9}
shift $(( $# < 2 ? $# : 2 ))

export WINEPREFIX="$build/startup-bench/prefix"
. "$root/scripts/wine-env.sh"
. "$root/scripts/demo-workspace.sh"
. "$root/scripts/xvfb.sh"
sf_wine_prepare_prefix
sf_make_demo_workspace "$build/startup-bench/workspace"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
ln -sfn "$build/startup-bench/workspace/d" "$WINEPREFIX/dosdevices/d:"

bench="$WINEPREFIX/drive_c/StartupBench"
rm -rf "$bench"
mkdir -p "$bench/built" "$bench/stripped" "$bench/empty"
cp "$build/syncfolderapp/syncfolder.exe" "$bench/built/"
x86_64-w64-mingw32-strip -o "$bench/stripped/syncfolder.exe" "$build/syncfolderapp/syncfolder.exe"
cp "$build/bench/startup/startup_emptywnd.exe" "$bench/empty/"
cp "$build/bench/startup/startup_bench.exe" "$build/bench/startup/painthook.dll" "$bench/"
extra=()
for program in "$@"; do
  label=${program%%=*}
  mkdir -p "$bench/$label"
  cp "${program#*=}" "$bench/$label/"
  extra+=("$label=C:\\StartupBench\\$label\\$(basename "${program#*=}")")
done

started_xvfb=
[ -n "${DISPLAY:-}" ] || { sf_start_xvfb; started_xvfb=1; }
# Wine's background services outlive the programs and keep their output open, so the
# output goes to a file (not a pipe), and ending the server ends them.
out=$(mktemp)
trap 'wineserver -k 2>/dev/null || true; [ -z "$started_xvfb" ] || sf_stop_xvfb; rm -f "$out"' EXIT
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
wine 'C:\StartupBench\startup_bench.exe' 'C:\StartupBench\painthook.dll' "$rounds" \
  'empty=C:\StartupBench\empty\startup_emptywnd.exe' \
  'built=C:\StartupBench\built\syncfolder.exe' \
  'stripped=C:\StartupBench\stripped\syncfolder.exe' "${extra[@]}" </dev/null >"$out" 2>&1 || { cat "$out"; exit 1; }
cat "$out"
