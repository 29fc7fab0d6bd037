#!/usr/bin/env bash
# Builds docs/clips.png (every 14th About frame, every 40th dedication frame) and
# docs/icon.png (the three icon images) with ImageMagick.
#   tools/docs_images.sh BUILD_DIR      BUILD_DIR holds tools/make_clips
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: tools/docs_images.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bg='#e8e8e8'

"$build/tools/make_clips" "$work/a.avi" "$work/w.avi" --frames "$work" 14 40

# Frame number under each tile.
tiles() {
    local prefix=$1 f n
    for f in "$work/${prefix}"_*.ppm; do
        n=${f##*_}
        printf '%s\n' -label "$((10#${n%.ppm}))" "$f"
    done
}
mapfile -t about < <(tiles about)
mapfile -t widmung < <(tiles widmung)
montage "${about[@]}" -filter point -resize 200% -tile 7x -geometry +6+6 -pointsize 14 \
    -background "$bg" "$work/about.png"
montage "${widmung[@]}" -tile 4x -geometry +6+6 -pointsize 14 -background "$bg" "$work/widmung.png"
convert "$work/about.png" "$work/widmung.png" -background "$bg" -gravity center -append \
    -depth 8 -strip "$root/docs/clips.png"

# Each image six times enlarged over a checkerboard, then all at their own size on
# a grey and on a blue desktop.
ico="$root/res/Kavrin.ico"
for i in 0 1 2; do
    convert "$ico[$i]" -filter point -resize 600% "$work/big$i.png"
    s=$(identify -format %w "$work/big$i.png")
    convert -size "${s}x${s}" pattern:checkerboard -fill '#cfcfcf' -opaque '#999999' \
        -fill white -opaque '#666666' "$work/big$i.png" -compose over -composite "$work/ic$i.png"
    convert "$ico[$i]" -background '#d4d0c8' -flatten "$work/grey$i.png"
    convert "$ico[$i]" -background '#3a6ea5' -flatten "$work/blue$i.png"
done
montage -label '32 x 32, 4 bpp' "$work/ic0.png" -label '16 x 16, 4 bpp' "$work/ic1.png" \
    -label '48 x 48, 8 bpp' "$work/ic2.png" -tile 3x -geometry +12+12 -gravity south \
    -pointsize 16 -background "$bg" "$work/row.png"
montage "$work"/grey{0,1,2}.png "$work"/blue{0,1,2}.png -tile 6x -geometry +10+10 -gravity south \
    -background "$bg" "$work/small.png"
convert "$work/row.png" "$work/small.png" -background "$bg" -gravity center -append \
    -depth 8 -strip "$root/docs/icon.png"
