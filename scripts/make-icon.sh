#!/usr/bin/env bash
# Draws the program icon (two arrows chasing each other over a folder-blue tile) and
# writes resources/icons/logo.ico with the sizes 16, 20, 32, 48, 64 and 128 in 32-bit
# colour. Needs ImageMagick; the .ico is committed, so the build does not run this.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
  -fill '#1E88E5' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill none -stroke white -strokewidth 22 \
  -draw 'arc 58,58 198,198 200,340' \
  -draw 'arc 58,58 198,198 20,160' \
  -stroke none -fill white \
  -draw 'polygon 200,78 232,138 166,132' \
  -draw 'polygon 56,178 24,118 90,124' \
  "$tmp/logo-256.png"

sizes=(16 20 32 48 64 128)
files=()
for s in "${sizes[@]}"; do
  convert "$tmp/logo-256.png" -filter Lanczos -resize "${s}x${s}" -define png:color-type=6 "$tmp/logo-$s.png"
  files+=("$tmp/logo-$s.png")
done
convert "${files[@]}" "$root/resources/icons/logo.ico"
echo "wrote resources/icons/logo.ico"
