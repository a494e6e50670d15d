#!/usr/bin/env bash
# Runs the screen-density test program once at each of 96, 144 and 192 dpi. Wine takes
# the density from the registry value LogPixels when its server starts, so the runs share
# a prefix of their own whose server is restarted for each, and an X screen of their own
# large enough for the main window at 192 dpi (1800 x 1200).
#   run-dpi.sh <program.exe>     (GTEST_OUTPUT and SF_WINEPREFIX from the test's properties)
set -u
program=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
. "$root/scripts/wine-env.sh"
. "$root/scripts/xvfb.sh"
sf_wine_own_test_prefix dpi
sf_start_xvfb 2048x1536 || exit 1
trap 'wineserver -k 2>/dev/null; sf_stop_xvfb' EXIT

report=${GTEST_OUTPUT:-}
status=0
for dpi in 96 144 192; do
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  sf_wine_ensure_server
  echo "== $dpi dpi"
  GTEST_OUTPUT=${report:+${report%.xml}_$dpi.xml} SF_EXPECT_DPI=$dpi wine "$program" || status=1
done
exit $status
