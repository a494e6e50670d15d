#!/usr/bin/env bash
# Draws the application's skin images into resources/images/ (32-bit RGBA PNG).
# Needs ImageMagick's convert; the PNGs are committed, so the build does not run this.
# Output is deterministic: the same ImageMagick gives byte-identical files (no date or
# time chunks are written).
#
# | Identifier           | File                 | Size      | Frames (w x h) | Nine-grid l,t,r,b |
# |----------------------|----------------------|-----------|----------------|-------------------|
# | IMG:USER_BK_DLG      | user_bk_dlg.png      | 20 x 20   | 1 (20 x 20)    | 3,3,3,3           |
# | IMG:USER_BK_BORDER   | user_bk_border.png   | 20 x 20   | 1 (20 x 20)    | 3,3,3,3           |
# | IMG:DROP_DOWN        | drop_down.png        | 88 x 22   | 4 (22 x 22)    | 3,3,3,3           |
# | IMG:USER_FILE_NULL   | user_file_null.png   | 600 x 200 | 3 (200 x 200)  | -                 |
# | IMG:PNG_SLOADING     | png_sloading.png     | 256 x 32  | 8 (32 x 32)    | -                 |
# | IMG:PNG_BUTBACK      | png_butback.png      | 90 x 20   | 3 (30 x 20)    | 20,2,3,2          |
# | IMG:PNG_QUESTION_TIP | png_question_tip.png | 14 x 14   | 1 (14 x 14)    | -                 |
# | IMG:PNG_BKTOP_TIP    | png_bktop_tip.png    | 286 x 54  | 1 (286 x 54)   | 65,10,12,13       |
# | IMG:PNG_BK_TOAST     | png_bk_toast.png     | 50 x 50   | 1 (50 x 50)    | 10,10,10,10       |
# | IMG:PNG_ICO_TOAST    | png_ico_toast.png    | 18 x 22   | 1 (18 x 22)    | -                 |
#
# Frame order of the strips: drop_down normal, hover, pressed, disabled; user_file_null
# and png_butback normal, hover, pressed; png_sloading the eight animation steps, turning
# clockwise. Every size above is fixed by the skin table; nothing had to be guessed.
#
# Where the images are used and what that means for the drawing:
# - user_bk_dlg: background of the main window and the drive dialog (padding 1), so a
#   1-pixel accent frame around an opaque #F5F5F5 body.
# - user_bk_border: frame of the bordered boxes, which paint their own background colour
#   (#FEFEFE, #F8F8F8) first, so a 1-pixel #CCCCCC line with a fully transparent inside.
# - drop_down: a 22 x 22 drop-down arrow button.
# - user_file_null: the 200 x 200 "add files" picture of the empty file list (page
#   background #FEFEFE shows through).
# - png_sloading: 32 x 32 spinner on the translucent grey loading overlay.
# - png_butback: the 55 x 20 "back" button; the left 20 pixels (not stretched) hold the
#   arrow, the text is drawn right-aligned in orange over the stretched rest.
# - png_question_tip: the 14 x 14 help mark next to the mode radios.
# - png_bktop_tip: the mode tooltip, which stands ABOVE its icon: its bottom edge on the
#   icon's top, its left edge 40 pixels left of the icon. The pointer therefore hangs from
#   the bottom edge at x = 40 + 7 (the centre of the 14-pixel icon), inside the unstretched
#   left and bottom margins, with its tip on the last row.
# - png_bk_toast: translucent dark rounded panel; the toast text on it should be light.
# - png_ico_toast: warning mark left of the toast text, on the dark panel.
#
# Drawing: images with curves are drawn at $S times their size in an edge-based coordinate
# system (pixel i spans [i, i+1]) and box-averaged down, which anti-aliases the curves
# while keeping lines that sit on pixel edges crisp; the two plain frames are drawn at
# their final size.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/resources/images"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

S=8
# Maps the edge-based unit coordinates onto ImageMagick's pixel-centre coordinates at $S.
XF="affine $S,0,0,$S,-0.5,-0.5"

ACCENT='#1E88E5'
ACCENT_DARK='#1565C0'
ACCENT_SOFT='#90CAF9'
BLUEHOT='#E5F3FF'
BLUESEL='#CDE8FF'
LINE='#CCCCCC'
TEXT='#333333'
TEXT6='#666666'
ORANGE='#F67D20'
ORANGE_HOT='#F64303'
ORANGE_DOWN='#F65802'

# shape NAME W H MVG: draws MVG onto a transparent W x H canvas at $S times the size.
shape() {
  local name=$1 w=$2 h=$3 mvg=$4
  convert -size "$((w * S))x$((h * S))" xc:none -draw "$XF $mvg" "$tmp/$name.miff"
}

# cut NAME A B: A with B's coverage removed (B's colour does not matter).
cut() {
  convert "$tmp/$2.miff" "$tmp/$3.miff" -alpha set -compose DstOut -composite "$tmp/$1.miff"
}

# stack NAME LAYER...: the layers painted over each other, first at the bottom.
stack() {
  local name=$1
  shift
  local args=("$tmp/$1.miff" -alpha set)
  shift
  local layer
  for layer in "$@"; do
    args+=("$tmp/$layer.miff" -compose Over -composite)
  done
  convert "${args[@]}" "$tmp/$name.miff"
}

# shrink NAME W H: box-average the big drawing down to W x H.
shrink() {
  convert "$tmp/$1.miff" -alpha set -scale "$2x$3!" "$tmp/$1.small.miff"
}

# strip NAME FRAME...: frames side by side, written as the final RGBA PNG.
strip() {
  local name=$1
  shift
  local files=()
  local f
  for f in "$@"; do
    files+=("$tmp/$f.small.miff")
  done
  convert "${files[@]}" +append +repage -strip -background none \
    -define png:exclude-chunks=date,time -define png:color-type=6 -define png:bit-depth=8 \
    "PNG32:$out/$name.png"
}

# ImageMagick fills every pixel whose centre lies within half a pixel of a shape, so at
# $S times the size each filled shape grows by 0.5 / $S of a final pixel on every side.
# Shapes whose straight edges must land exactly on pixel edges are pulled in by E.
E=$(awk -v s="$S" 'BEGIN { printf "%.4f", 0.5 / s }')

# lo X: X + E; hi X: X - E (coordinates of the left/top and right/bottom edges).
lo() { awk -v x="$1" -v e="$E" 'BEGIN { printf "%.4f", x + e }'; }
hi() { awk -v x="$1" -v e="$E" 'BEGIN { printf "%.4f", x - e }'; }

# framed_box NAME W H R EDGE INSIDE: a rounded outline of width 1 in EDGE around INSIDE
# (which may be translucent), filling the box 0,0 - W,H, corner radius R.
framed_box() {
  local name=$1 w=$2 h=$3 r=$4 edge=$5 inside=$6
  local ri=$((r > 1 ? r - 1 : 0))
  local outer inner
  outer="roundrectangle $(lo 0),$(lo 0) $(hi "$w"),$(hi "$h") $r,$r"
  inner="roundrectangle $(lo 1),$(lo 1) $(hi $((w - 1))),$(hi $((h - 1))) $ri,$ri"
  shape "$name.o" "$w" "$h" "fill '$edge' $outer"
  shape "$name.m" "$w" "$h" "fill black $inner"
  shape "$name.i" "$w" "$h" "fill '$inside' $inner"
  cut "$name.ring" "$name.o" "$name.m"
  stack "$name" "$name.ring" "$name.i"
}

# --- user_bk_dlg: window background -----------------------------------------------------
# Only straight lines on pixel edges: drawn at the final size without anti-aliasing.
convert -size 20x20 xc:'#F5F5F5' +antialias -fill none -stroke "$ACCENT" -strokewidth 1 \
  -draw 'rectangle 0,0 19,19' "$tmp/dlg.small.miff"
strip user_bk_dlg dlg

# --- user_bk_border: frame of the bordered boxes ----------------------------------------
convert -size 20x20 xc:none +antialias -fill none -stroke "$LINE" -strokewidth 1 \
  -draw 'rectangle 0,0 19,19' "$tmp/border.small.miff"
strip user_bk_border border

# --- drop_down: arrow button, four states -----------------------------------------------
# chevron NAME COLOUR: a down-pointing chevron centred in a 22 x 22 frame.
chevron() {
  shape "$1" 22 22 "fill none stroke '$2' stroke-width 1.6 stroke-linecap round \
    stroke-linejoin round polyline 7,9.25 11,13.25 15,9.25"
}
framed_box dd0.box 22 22 2 "$LINE" '#FFFFFF'
framed_box dd1.box 22 22 2 "$ACCENT_SOFT" "$BLUEHOT"
framed_box dd2.box 22 22 2 "$ACCENT" "$BLUESEL"
framed_box dd3.box 22 22 2 '#E0E0E0' '#F5F5F5'
chevron dd0.mark "$TEXT6"
chevron dd1.mark "$ACCENT"
chevron dd2.mark "$ACCENT_DARK"
chevron dd3.mark '#BDBDBD'
for i in 0 1 2 3; do
  stack "dd$i" "dd$i.box" "dd$i.mark"
  shrink "dd$i" 22 22
done
strip drop_down dd0 dd1 dd2 dd3

# --- user_file_null: "add files" picture, normal / hover / pressed ---------------------
# filenull NAME ZONE_FILL ZONE_EDGE DOC_EDGE BADGE DY: a dashed drop zone holding a sheet
# of paper with a folded corner and a round plus badge; DY pushes the sheet down a little
# in the pressed state.
filenull() {
  local name=$1 zfill=$2 zedge=$3 dedge=$4 badge=$5 dy=$6
  shape "$name.zone" 200 200 "fill '$zfill' stroke none roundrectangle 12,12 188,188 18,18"
  shape "$name.dash" 200 200 "fill none stroke '$zedge' stroke-width 2 \
    stroke-dasharray 9,6 roundrectangle 13,13 187,187 17,17"
  local t=$((46 + dy)) b=$((146 + dy))
  # Sheet: 78 x 100 with the top-right corner folded over 22 pixels.
  local sheet="M 61,$((t + 4)) Q 61,$t 65,$t L 117,$t L 139,$((t + 22)) L 139,$((b - 4)) \
    Q 139,$b 135,$b L 65,$b Q 61,$b 61,$((b - 4)) Z"
  shape "$name.sheet" 200 200 "fill white stroke '$dedge' stroke-width 2.5 \
    stroke-linejoin round path '$sheet'"
  shape "$name.fold" 200 200 "fill '$zfill' stroke '$dedge' stroke-width 2.5 \
    stroke-linejoin round path 'M 117,$t L 117,$((t + 18)) Q 117,$((t + 22)) 121,$((t + 22)) \
    L 139,$((t + 22)) Z'"
  # Text lines on the sheet.
  shape "$name.lines" 200 200 "fill '$dedge' fill-opacity 0.45 \
    roundrectangle 73,$((t + 34)) 127,$((t + 39)) 2.5,2.5 \
    roundrectangle 73,$((t + 48)) 127,$((t + 53)) 2.5,2.5 \
    roundrectangle 73,$((t + 62)) 110,$((t + 67)) 2.5,2.5"
  # Badge: a white ring around a coloured disc with a white plus.
  local cx=137 cy=$((b - 4))
  shape "$name.badge" 200 200 "fill white circle $cx,$cy $((cx + 22)),$cy \
    fill '$badge' circle $cx,$cy $((cx + 19)),$cy \
    fill none stroke white stroke-width 4.5 stroke-linecap round \
    line $((cx - 9)),$cy $((cx + 9)),$cy line $cx,$((cy - 9)) $cx,$((cy + 9))"
  stack "$name" "$name.zone" "$name.dash" "$name.sheet" "$name.fold" "$name.lines" "$name.badge"
  shrink "$name" 200 200
}
filenull fn0 '#FAFAFA' '#C8C8C8' '#B0BEC5' '#64B5F6' 0
filenull fn1 '#F3F9FF' "$ACCENT" '#64B5F6' "$ACCENT" 0
filenull fn2 '#E3F0FC' "$ACCENT_DARK" "$ACCENT" "$ACCENT_DARK" 2
strip user_file_null fn0 fn1 fn2

# --- png_sloading: spinner, eight steps -------------------------------------------------
# Eight dots on a circle; the leading dot of step k sits at k * 45 degrees clockwise from
# the top and the dots behind it shrink and fade.
for k in 0 1 2 3 4 5 6 7; do
  mvg=""
  for j in 0 1 2 3 4 5 6 7; do
    # j = 0 is the leading dot, j = 7 the faintest.
    read -r x y rad op < <(awk -v k="$k" -v j="$j" 'BEGIN {
      pi = atan2(0, -1); a = (k - j) * pi / 4
      printf "%.4f %.4f %.4f %.3f\n", 16 + 11 * sin(a), 16 - 11 * cos(a), 3.4 - 0.25 * j, 1 - 0.11 * j }')
    mvg+=" fill-opacity $op circle $x,$y $(awk -v x="$x" -v r="$rad" 'BEGIN{printf "%.4f", x + r}'),$y"
  done
  shape "ld$k" 32 32 "fill '$ACCENT' $mvg"
  shrink "ld$k" 32 32
done
strip png_sloading ld0 ld1 ld2 ld3 ld4 ld5 ld6 ld7

# --- png_butback: "back" button, normal / hover / pressed -------------------------------
# backarrow NAME COLOUR: a left arrow centred in the 20-pixel left margin.
backarrow() {
  shape "$1" 30 20 "fill none stroke '$2' stroke-width 1.7 stroke-linecap round \
    stroke-linejoin round polyline 10.5,6 6.5,10 10.5,14 line 7,10 15,10"
}
backarrow bb0.mark "$ORANGE"
backarrow bb1.mark "$ORANGE_HOT"
backarrow bb2.mark "$ORANGE_DOWN"
framed_box bb1.box 30 20 2 '#F9C7A0' '#FEF1E6'
framed_box bb2.box 30 20 2 '#F5A86C' '#FDE0CA'
stack bb0 bb0.mark
stack bb1 bb1.box bb1.mark
stack bb2 bb2.box bb2.mark
for i in 0 1 2; do shrink "bb$i" 30 20; done
strip png_butback bb0 bb1 bb2

# --- png_question_tip: help mark --------------------------------------------------------
shape qt 14 14 "fill '$ACCENT' circle 7,7 14,7 \
  fill none stroke white stroke-width 1.7 stroke-linecap round stroke-linejoin round \
  path 'M 4.9,5.3 C 4.9,2.6 9.1,2.6 9.1,5.2 C 9.1,6.6 7,6.7 7,8.4' \
  stroke none fill white circle 7,10.7 7.95,10.7"
shrink qt 14 14
strip png_question_tip qt

# --- png_bktop_tip: light tooltip with the pointer on its bottom edge -------------------
# Body 286 x 46, radius 4; pointer 14 wide, 8 high, tip at (47, 54). The pointer polygons
# reach up into the body so that the union has no seam; the inner pointer is the outer one
# moved inwards by one pixel along each slanted side (its tip rises by 1 / sin(atan(7/8))).
shape tip.o 286 54 "fill '#B8C4D0' roundrectangle $(lo 0),$(lo 0) $(hi 286),$(hi 46) 4,4 \
  polygon 38.25,44 47,54 55.75,44"
shape tip.i 286 54 "fill white fill-opacity 0.96 roundrectangle $(lo 1),$(lo 1) $(hi 285),$(hi 45) 3,3 \
  polygon 39.58,44 47,52.48 54.42,44"
shape tip.m 286 54 "fill black roundrectangle $(lo 1),$(lo 1) $(hi 285),$(hi 45) 3,3 \
  polygon 39.58,44 47,52.48 54.42,44"
cut tip.ring tip.o tip.m
stack tip tip.ring tip.i
shrink tip 286 54
strip png_bktop_tip tip

# --- png_bk_toast: translucent dark panel -----------------------------------------------
shape toast 50 50 "fill '#1E1E1E' fill-opacity 0.82 roundrectangle $(lo 0),$(lo 0) $(hi 50),$(hi 50) 8,8"
shrink toast 50 50
strip png_bk_toast toast

# --- png_ico_toast: warning mark on the dark panel ---------------------------------------
shape ico 18 22 "fill '#FFB300' circle 9,11 18,11 \
  fill none stroke '$TEXT' stroke-width 2.2 stroke-linecap round line 9,6.2 9,11.8 \
  stroke none fill '$TEXT' circle 9,15.3 10.25,15.3"
shrink ico 18 22
strip png_ico_toast ico

echo "wrote 10 images to resources/images/"
