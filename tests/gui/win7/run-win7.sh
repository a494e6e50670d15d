#!/usr/bin/env bash
# Runs the Windows 7 start-up test program in a prefix of its own that reports Windows 7
# (HKCU\Software\Wine, value Version), with drive D: mapped to a fresh folder. Wine reads
# the version when a program starts and its drive letters when its server starts, so the
# server is restarted once both are set.
#   run-win7.sh <program.exe>     (GTEST_OUTPUT, SF_WINEPREFIX and SF_PROGRAM from the
#                                  test's properties; DISPLAY from scripts/test.sh)
set -u
program=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
. "$root/scripts/wine-env.sh"
sf_wine_own_test_prefix win7
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
sf_wine_map_drives D
trap 'wineserver -k 2>/dev/null; sf_wine_unmap_drives' EXIT
wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win7 /f </dev/null >/dev/null 2>&1
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
sf_wine_ensure_server
wine "$program"
