#!/usr/bin/env bash
# ctest's emulator for the Windows build: runs one Windows program under Wine in the
# build's private prefix. Environment set by the test's properties:
#   SF_WINEPREFIX  the prefix (inside the build directory), created on first use
#   SF_DRIVES      drive letters ("D E") to map to fresh temporary folders for this run
#   SF_GUI         1 when the program opens windows: DISPLAY must name a running X server
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${SF_WINEPREFIX:-${WINEPREFIX:-$PWD/wineprefix}}
. "$here/wine-env.sh"
export SF_WINE_UNMANAGED=1

if [ "${SF_GUI:-0}" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: this test opens windows and needs DISPLAY (scripts/test.sh starts Xvfb)" >&2
  exit 1
fi

SF_MAPPED_DIRS=()
SF_MAPPED_LINKS=()
if [ -n "${SF_DRIVES:-}" ]; then
  # Wine learns its drive letters when its services start, so a program that maps
  # drives runs in a prefix of its own whose server starts after the mapping and is
  # ended afterwards (ctest runs these programs one at a time).
  export WINEPREFIX="$WINEPREFIX-drives"
  sf_wine_prepare_prefix
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  sf_wine_map_drives "$SF_DRIVES"
  trap 'sf_wine_unmap_drives; wineserver -k 2>/dev/null' EXIT
else
  sf_wine_prepare_prefix
fi
sf_wine_ensure_server

wine "$@"
