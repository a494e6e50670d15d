#!/usr/bin/env bash
# Sets up, builds and starts the program under Wine on a demo workspace: a private
# Wine prefix whose drives D: and E: hold a few game-server copies and a folder of
# changed files (scripts/demo-workspace.sh).
#
# With a DISPLAY the program runs there until its window is closed.
#
# Without one it plays a scripted demo under Xvfb: a driver program (demodriver.exe,
# tools/demodriver) runs beside it in the same prefix and works the real window the way
# an operator would: it waits for the start-up scan, adds the changed files through the
# open-file dialog, chooses the Mir200 mode and the backup, starts the run and waits for
# its end, then prints the summary line, the log file and where the copies and backups
# are, and closes the program. Screenshots of each step go to
# build/demo/screenshots/*.png. The exit code is the driver's: 0 only when the run
# copied files that now equal their sources and kept backups of what it overwrote.
#
# Environment (for developers' trials; users need none of it):
#   SF_RUN_BUILD_DIR  build directory to build and take the programs from, configured
#                     with the windows preset (default build/win). Any other directory
#                     keeps its demo folder inside itself ($SF_RUN_BUILD_DIR/demo), so
#                     trials do not touch build/demo.
#   SF_DEMO_TIMEOUT_SCALE  factor for every wait of the scripted demo (default 1), for
#                     slow machines or quick failing trials.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build_dir=${SF_RUN_BUILD_DIR:-build/win}
build_dir=${build_dir%/}
demo="$root/build/demo"
[ "$build_dir" = build/win ] || demo="$root/$build_dir/demo"
case "$build_dir" in /*) demo="$build_dir/demo" ;; esac

bash scripts/setup.sh
cmake --preset windows -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target syncfolder demodriver -j "$(nproc)"

export WINEPREFIX="$demo/wineprefix"
. scripts/wine-env.sh
. scripts/demo-workspace.sh
. scripts/xvfb.sh
sf_wine_prepare_prefix
sf_make_demo_workspace "$demo/workspace"
# Wine learns its drive letters when its services start: map them before that.
wineserver -k 2>/dev/null || true
ln -sfn "$demo/workspace/d" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$demo/workspace/e" "$WINEPREFIX/dosdevices/e:"

# The program lives on C: like an installed tool; its datadb folder goes beside it.
app_dir="$WINEPREFIX/drive_c/SyncFolder"
mkdir -p "$app_dir"
cp "$build_dir/syncfolderapp/syncfolder.exe" "$app_dir/"
exe='C:\SyncFolder\syncfolder.exe'

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting the program on $DISPLAY (demo drives D: $demo/workspace/d, E: $demo/workspace/e)"
  wine "$exe"
  exit 0
fi

# The driver and the strings it finds the controls by, in the prefix's reach.
tools_dir="$WINEPREFIX/drive_c/SyncFolderDemo"
mkdir -p "$tools_dir"
cp "$build_dir/tools/demodriver/demodriver.exe" resources/layouts/strings.xml "$tools_dir/"
shots="$demo/screenshots"
bmp_dir="$tools_dir/shots"
rm -rf "$bmp_dir" "$shots"
mkdir -p "$bmp_dir" "$shots"

sf_start_xvfb
program_pid=
# Runs on exit with errexit still on: nothing in it may fail and change the exit code.
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  sf_stop_xvfb || true
}
trap cleanup EXIT

echo "Scripted demo under Xvfb ($DISPLAY) on the demo workspace $demo/workspace"
wine "$exe" &
program_pid=$!

# The driver's messages on stderr are shown after it ends, without the lines in which
# Wine names the drives it cannot read when the open-file dialog lists them.
driver_err="$demo/demodriver.err"
status=0
timeout 900 wine 'C:\SyncFolderDemo\demodriver.exe' \
  --strings 'C:\SyncFolderDemo\strings.xml' --shots 'C:\SyncFolderDemo\shots' \
  --logdir 'C:\SyncFolder\datadb\log' --timeout-scale "${SF_DEMO_TIMEOUT_SCALE:-1}" \
  --folder 'D:\更新文件\Mir200' \
  --file 'Config.ini' --file 'Envir\QuestDiary\欢迎.txt' --file 'Envir\Market_Def\Shop-0.txt' \
  2>"$driver_err" || status=$?
grep -v 'FS volume label and serial are not available' "$driver_err" >&2 || true
[ "$status" = 124 ] && echo "run: the demo driver did not finish within 15 minutes" >&2

# The driver closes the program at the end of a good run; give it time to go.
for _ in $(seq 1 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done

for bmp in "$bmp_dir"/*.bmp; do
  [ -e "$bmp" ] || continue
  png="$shots/$(basename "${bmp%.bmp}").png"
  convert "$bmp" "$png" && rm -f "$bmp"
done
echo "Screenshots:"
ls -1 "$shots"/*.png 2>/dev/null | sed 's/^/  /' || echo "  (none)"
echo "The program's data folder (settings and logs): $app_dir/datadb"
echo "Demo drives: D: $demo/workspace/d, E: $demo/workspace/e"
exit "$status"
