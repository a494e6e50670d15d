#!/usr/bin/env bash
# Draws the gallery test's images with ImageMagick; the PNGs are committed beside it.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 20x20 xc:white -fill none -stroke '#C8C8C8' -draw 'rectangle 0,0 19,19' user_bk_dlg.png
convert -size 20x20 xc:none -fill none -stroke '#D9D9D9' -draw 'rectangle 0,0 19,19' user_bk_border.png
convert -size 14x14 xc:none -fill '#1E78D5' -draw 'circle 6.5,6.5 6.5,0' \
  -fill white -font DejaVu-Sans-Bold -pointsize 10 -gravity center -annotate +0+0 '?' png_question_tip.png
convert -size 50x50 xc:none -fill '#000000C8' -draw 'roundrectangle 0,0 49,49 10,10' png_bk_toast.png
convert -size 18x22 xc:none -fill '#F67D20' -draw 'roundrectangle 7,2 11,14 2,2' -draw 'circle 9,18 9,16' png_ico_toast.png

# Eight frames of a spinner: eight dots, the lit one moving round.
frames=()
for f in 0 1 2 3 4 5 6 7; do
  args=()
  for d in 0 1 2 3 4 5 6 7; do
    x=$(awk "BEGIN{printf \"%.1f\", 16+11*sin($d*3.14159/4)}")
    y=$(awk "BEGIN{printf \"%.1f\", 16-11*cos($d*3.14159/4)}")
    age=$(( (f - d + 8) % 8 ))
    shade=$(( 0x1E + age * 25 ))
    colour=$(printf '#%02X%02X%02X' $((shade > 0xE0 ? 0xE0 : shade)) $((0x78 + age * 15 > 0xE0 ? 0xE0 : 0x78 + age * 15)) 0xD5)
    args+=(-fill "$colour" -draw "circle $x,$y $x,$(awk "BEGIN{print $y+3}")")
  done
  convert -size 32x32 xc:none "${args[@]}" "/tmp/sf-spin-$f.png"
  frames+=("/tmp/sf-spin-$f.png")
done
convert "${frames[@]}" +append png_sloading.png
rm -f "${frames[@]}"

# Add-file image: normal, hover, pressed.
for state in 0 1 2; do
  colour=(\#B8B8B8 \#1E78D5 \#1763B3)
  convert -size 200x200 xc:none -fill none -stroke "${colour[$state]}" -strokewidth 4 \
    -draw 'roundrectangle 30,30 169,169 16,16' -strokewidth 10 -draw 'line 100,65 100,135' -draw 'line 65,100 135,100' \
    "/tmp/sf-add-$state.png"
done
convert /tmp/sf-add-0.png /tmp/sf-add-1.png /tmp/sf-add-2.png +append user_file_null.png
rm -f /tmp/sf-add-*.png

# Back button: normal, hover, pressed, with the arrow in the left margin.
for state in 0 1 2; do
  colour=(\#FFF4EC \#FFE6D3 \#FFD6B8)
  convert -size 30x20 xc:none -fill "${colour[$state]}" -stroke '#F67D20' -draw 'roundrectangle 0,0 29,19 3,3' \
    -fill '#F67D20' -stroke none -draw 'polygon 6,10 12,5 12,15' "/tmp/sf-back-$state.png"
done
convert /tmp/sf-back-0.png /tmp/sf-back-1.png /tmp/sf-back-2.png +append png_butback.png
rm -f /tmp/sf-back-*.png
