# Sourced: sf_start_xvfb [WIDTHxHEIGHT] starts a private Xvfb (1600x1000 unless given) on
# a free display and exports DISPLAY; sf_stop_xvfb ends it.
sf_start_xvfb() {
  local n size=${1:-1600x1000}
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    SF_XVFB_PID=$!
    for _ in $(seq 1 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$SF_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

sf_stop_xvfb() {
  [ -n "${SF_XVFB_PID:-}" ] && kill "$SF_XVFB_PID" 2>/dev/null
  SF_XVFB_PID=
}
