#!/usr/bin/env bash
# Sets up, builds both targets and runs every test: native (sanitizers), under Wine,
# and the windowed ones under Wine and Xvfb. Ends with "N passed, N failed" over all
# suites and exits non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${SF_JOBS:-$(nproc)}

bash scripts/setup.sh || exit 1

echo "== format"
format_status=0
bash scripts/check-format.sh || { echo "format: run scripts/check-format.sh --fix"; format_status=1; }

build() {
  cmake --preset "$1" -DSF_WERROR=ON >/dev/null || return 1
  cmake --build --preset "$1" -j "$jobs" || return 1
}
echo "== build: host"
build host || { echo "0 passed, 1 failed"; exit 1; }
echo "== build: windows"
build windows || { echo "0 passed, 1 failed"; exit 1; }

rm -rf build/host/test-results build/win/test-results build/win/screenshots
mkdir -p build/host/test-results build/win/test-results

status=0
echo "== tests: native"
ctest --preset host -j "$jobs" 2>&1 | tee build/host/ctest.log || status=1

echo "== tests: Windows, under Wine and Xvfb"
export WINEPREFIX="$root/build/win/wineprefix"
. scripts/wine-env.sh
export SF_WINE_UNMANAGED=1
sf_wine_prepare_prefix
. scripts/xvfb.sh
if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ]; then
  sf_start_xvfb || status=1
fi
sf_wine_ensure_server
ctest --preset windows -j "$jobs" 2>&1 | tee build/win/ctest.log || status=1
wineserver -k 2>/dev/null
sf_stop_xvfb

# Count test cases over every suite's XML report; a program that ended without a
# report (crash, time-out) counts as one failure.
passed=0; failed=0; skipped=0
for log in build/host/ctest.log build/win/ctest.log; do
  dir=$(dirname "$log")/test-results
  while read -r name; do
    [ -f "$dir/$name.xml" ] || { failed=$((failed + 1)); echo "no report from $name"; }
  done < <(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p; s/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*Failed.*/\1/p' "$log" | sort -u)
done
for xml in build/host/test-results/*.xml build/win/test-results/*.xml; do
  [ -f "$xml" ] || continue
  read -r p f s < <(awk '
    { sub(/\r$/, "") }  # reports written under Wine end their lines in CR LF
    /<testcase / { open = 1; fail = 0; skip = ($0 ~ /status="notrun"/ || $0 ~ /result="skipped"/)
                   if ($0 ~ /\/>[ \t]*$/) { open = 0; if (skip) s++; else p++ } ; next }
    open && /<failure/ { fail = 1 }
    open && /<skipped/ { skip = 1 }
    open && /<\/testcase>/ { open = 0; if (fail) f++; else if (skip) s++; else p++ }
    END { print p + 0, f + 0, s + 0 }' "$xml")
  passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
done
[ "$failed" -gt 0 ] && status=1
[ "$format_status" -ne 0 ] && status=1
[ "$passed" -eq 0 ] && status=1
echo "$passed passed, $failed failed, $skipped skipped"
exit $status
