#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test the tool,
# and fetches the sources of the libraries the Windows build compiles itself.
# Idempotent: a second run only checks and returns within seconds.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
src_dir="$root/third_party/src"

packages=(
  g++ clang clang-format cmake ninja-build make dpkg-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth x11-utils xdotool imagemagick locales procps
  fonts-wqy-microhei
  libyaml-cpp-dev libpugixml-dev libstb-dev
  googletest libgtest-dev libbenchmark-dev libspdlog-dev
  libclang-rt-14-dev
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

src_list=/etc/apt/sources.list.d/syncfolder-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
  as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  as_root apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine reads its ANSI code page from the locale: zh_CN.UTF-8 gives code page 936,
# as on the operators' Chinese Windows.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi

# Sources of yaml-cpp and pugixml for the MinGW build (git-ignored).
fetch_source() {
  local pkg=$1 marker=$2
  if ls -d "$src_dir"/"$pkg"-*/ >/dev/null 2>&1 && [ -e "$(ls -d "$src_dir"/"$pkg"-*/ | head -1)/$marker" ]; then
    return
  fi
  mkdir -p "$src_dir"
  (cd "$src_dir" && apt-get source -qq "$pkg" >/dev/null 2>&1) || {
    as_root apt-get update -qq
    (cd "$src_dir" && apt-get source -qq "$pkg" >/dev/null)
  }
}
fetch_source yaml-cpp CMakeLists.txt
fetch_source pugixml CMakeLists.txt
echo "setup: ready"
