# Sourced by the timing programs' run scripts (bench/*/run-under-wine.sh): one Windows
# timing program under Wine, in a prefix of its own, with drive D: a Linux folder, the
# program and its wineserver pinned to one CPU (SF_BENCH_CPU, 0 unless set). Each letter
# of SF_BENCH_NETWORK_DRIVES (for example "N O") becomes a network drive on a folder of
# its own beside D:'s.
#
#   sf_bench_run <prefix> <folder for D:> <program> [arguments...]
#
# Prints the program's output; the server (and Wine's background services) end with it.
sf_bench_run() {
  local prefix=$1 drive=$2 program=$3 cpu=${SF_BENCH_CPU:-0} letter lower
  shift 3
  export WINEPREFIX=$prefix
  . "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
  sf_wine_prepare_prefix
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  mkdir -p "$drive"
  ln -sfn "$drive" "$WINEPREFIX/dosdevices/d:"
  for letter in ${SF_BENCH_NETWORK_DRIVES:-}; do
    lower=$(echo "$letter" | tr 'A-Z' 'a-z')
    mkdir -p "$drive.$lower"
    ln -sfn "$drive.$lower" "$WINEPREFIX/dosdevices/$lower:"
    # Wine takes a drive's type from the registry when its server starts.
    taskset -c "$cpu" wine reg add 'HKLM\Software\Wine\Drives' /v "$lower:" /t REG_SZ /d network /f \
      </dev/null >/dev/null 2>&1 || echo "sf_bench_run: $letter: could not be made a network drive" >&2
  done
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # Wine's background services outlive the program and keep its output open, so the output
  # goes to a file (not a pipe), and ending the server ends them.
  local out status=0
  out=$(mktemp)
  taskset -c "$cpu" wineserver -p </dev/null >/dev/null 2>&1
  taskset -c "$cpu" wine "$program" "$@" </dev/null >"$out" 2>&1 || status=$?
  cat "$out"
  rm -f "$out"
  wineserver -k 2>/dev/null || true
  return $status
}
