#!/usr/bin/env bash
# Runs the network-drive test program in a Wine prefix of its own. Wine takes a drive
# letter's type from the registry (HKLM\Software\Wine\Drives, value "n:" = "network") when
# its server starts, so the letter is typed there before the server starts, and the tests
# of the other prefixes never see a network drive.
#   D:, E:  fresh local disks, as for the other tests
#   N:      a network drive whose share the system does not name
#   \\srv\share, \\srv\other  two UNC shares of one machine (dosdevices/unc/srv/...)
# The Linux folder behind N: is passed on as SF_NETWORK_FOLDER, so that a test can take
# the drive offline by moving its folder away.
#   run-network.sh <program.exe>     (GTEST_OUTPUT and SF_WINEPREFIX from the test's properties)
set -u
program=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
export WINEPREFIX="${SF_WINEPREFIX:-$PWD/wineprefix}-network"
. "$root/scripts/wine-env.sh"
export SF_WINE_UNMANAGED=1
if [ -z "${DISPLAY:-}" ]; then
  echo "run-network: this test opens windows and needs DISPLAY (scripts/test.sh starts Xvfb)" >&2
  exit 1
fi

sf_wine_prepare_prefix
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
SF_MAPPED_DIRS=()
SF_MAPPED_LINKS=()
sf_wine_map_drives "D E N"
export SF_NETWORK_FOLDER=${SF_MAPPED_DIRS[2]}
unc=$(mktemp -d "${TMPDIR:-/tmp}/sf-unc.XXXXXX")
mkdir -p "$unc/share" "$unc/other" "$WINEPREFIX/dosdevices/unc/srv"
ln -sfn "$unc/share" "$WINEPREFIX/dosdevices/unc/srv/share"
ln -sfn "$unc/other" "$WINEPREFIX/dosdevices/unc/srv/other"
cleanup() {
  wineserver -k 2>/dev/null
  sf_wine_unmap_drives
  rm -rf "$SF_NETWORK_FOLDER.offline" "$unc"
  rm -f "$WINEPREFIX/dosdevices/unc/srv/share" "$WINEPREFIX/dosdevices/unc/srv/other"
}
trap cleanup EXIT

wine reg add 'HKLM\Software\Wine\Drives' /v n: /t REG_SZ /d network /f </dev/null >/dev/null 2>&1
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
sf_wine_ensure_server

wine "$program"
