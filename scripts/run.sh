#!/usr/bin/env bash
# Sets up, builds and starts the program under Wine on a demo workspace: a private
# Wine prefix whose drives D: and E: hold a few game-server copies. With a DISPLAY the
# program runs there until its window is closed; without one it runs under Xvfb, a
# screenshot of the main window is saved and the program is ended.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target syncfolder -j "$(nproc)"

demo="$root/build/demo"
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
cp build/win/syncfolderapp/syncfolder.exe "$app_dir/"
exe='C:\SyncFolder\syncfolder.exe'

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting the program on $DISPLAY (demo drives D: $demo/workspace/d, E: $demo/workspace/e)"
  wine "$exe"
  exit 0
fi

sf_start_xvfb
trap 'wineserver -k 2>/dev/null; sf_stop_xvfb' EXIT
wine "$exe" &
window=
for _ in $(seq 1 300); do
  window=$(xdotool search --onlyvisible --name 'Korvel' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "run: the main window did not appear" >&2
  exit 1
fi
sleep 2
shot="$demo/screenshots/main-window.png"
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
echo "The program ran under Xvfb on the demo workspace ($demo/workspace)."
echo "Screenshot of its main window: $shot"
echo "Its data folder (settings and logs): $app_dir/datadb"
