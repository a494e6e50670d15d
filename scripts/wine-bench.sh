# Sourced by the timing programs' run scripts (bench/*/run-under-wine.sh): one Windows
# timing program under Wine, in a prefix of its own, with drive D: a Linux folder, the
# program and its wineserver pinned to one CPU.
#
#   sf_bench_run <prefix> <folder for D:> <program> [arguments...]
#
# Prints the program's output; the server (and Wine's background services) end with it.
sf_bench_run() {
  local prefix=$1 drive=$2 program=$3
  shift 3
  export WINEPREFIX=$prefix
  . "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
  sf_wine_prepare_prefix
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  mkdir -p "$drive"
  ln -sfn "$drive" "$WINEPREFIX/dosdevices/d:"
  # Wine's background services outlive the program and keep its output open, so the output
  # goes to a file (not a pipe), and ending the server ends them.
  local out status=0
  out=$(mktemp)
  taskset -c 0 wineserver -p </dev/null >/dev/null 2>&1
  taskset -c 0 wine "$program" "$@" </dev/null >"$out" 2>&1 || status=$?
  cat "$out"
  rm -f "$out"
  wineserver -k 2>/dev/null || true
  return $status
}
