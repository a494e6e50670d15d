# Sourced by the scripts that run Windows programs: the Wine settings every run shares.
# Needs WINEPREFIX set by the caller, or by sf_wine_own_test_prefix below.

export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Code page 936 (GBK), as on the operators' Chinese Windows.
export LANG=zh_CN.UTF-8
unset LC_ALL
# Messages of the scripts' own tools stay in English.
export LC_MESSAGES=C.UTF-8
unset WINELOADERNOEXEC

# Creates the prefix once (serialised by a lock, so parallel tests wait for one boot)
# and maps the fonts the layouts name to an installed CJK font.
sf_wine_prepare_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.sf-ready" ]; then
      wineboot -i </dev/null >/dev/null 2>&1 9>&-
      for face in SimSun "Segoe UI" Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Microsoft YaHei" "宋体" "微软雅黑"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f </dev/null >/dev/null 2>&1 9>&-
      done
      wineserver -w
      touch "$WINEPREFIX/.sf-ready"
    fi
    # Test prefixes: windows not handed to an X window manager, which under Xvfb
    # makes destroying a resizable window cost two seconds.
    if [ "${SF_WINE_UNMANAGED:-0}" = 1 ] && [ ! -f "$WINEPREFIX/.sf-unmanaged" ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
      touch "$WINEPREFIX/.sf-unmanaged"
    fi
    # Test prefixes: a crashing program prints its backtrace and ends instead of waiting
    # behind Wine's crash dialog until the test's time limit.
    if [ "${SF_WINE_UNMANAGED:-0}" = 1 ] && [ ! -f "$WINEPREFIX/.sf-nocrashdialog" ]; then
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 9>&-
      touch "$WINEPREFIX/.sf-nocrashdialog"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# A test runner's prefix of its own, named after the build's (SF_WINEPREFIX) with "-$1",
# for a setting that takes a Wine server of its own (screen density, reported version):
# exported as WINEPREFIX and made ready.
sf_wine_own_test_prefix() {
  export WINEPREFIX="${SF_WINEPREFIX:-$PWD/wineprefix}-$1"
  export SF_WINE_UNMANAGED=1
  sf_wine_prepare_prefix
}

# Maps each drive letter in $1 (for example "D E") to a fresh temporary folder; the
# folders are listed in SF_MAPPED_DIRS for sf_wine_unmap_drives.
sf_wine_map_drives() {
  SF_MAPPED_DIRS=()
  SF_MAPPED_LINKS=()
  local letter lower dir
  for letter in $1; do
    lower=$(echo "$letter" | tr 'A-Z' 'a-z')
    dir=$(mktemp -d "${TMPDIR:-/tmp}/sf-drive-$lower.XXXXXX")
    ln -sfn "$dir" "$WINEPREFIX/dosdevices/$lower:"
    SF_MAPPED_DIRS+=("$dir")
    SF_MAPPED_LINKS+=("$WINEPREFIX/dosdevices/$lower:")
  done
}

sf_wine_unmap_drives() {
  local item
  for item in "${SF_MAPPED_LINKS[@]}"; do rm -f "$item"; done
  for item in "${SF_MAPPED_DIRS[@]}"; do rm -rf "$item"; done
}

# Starts the prefix's wineserver (kept for a minute after its last client) and Wine's
# background services with their output detached, unless they run already. Otherwise
# the services would be started by the first test program and inherit its output
# pipe, and ctest would wait for them to exit after the program ended.
sf_wine_server_running() {
  [ -n "$(sf_wine_server_pid)" ]
}

# The process id of the prefix's wineserver; nothing when none runs.
sf_wine_server_pid() {
  local pid
  for pid in $(pgrep wineserver); do
    if { tr '\0' '\n' < "/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
}

sf_wine_ensure_server() {
  (
    flock 9
    if ! sf_wine_server_running; then
      # The server and the services must not inherit the lock.
      wineserver -p60 </dev/null >/dev/null 2>&1 9>&-
      wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
    fi
  ) 9>"$WINEPREFIX.server.lock"
}
