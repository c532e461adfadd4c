#!/usr/bin/env bash
# Draws the program icon (a clock face at ten past ten) at 16, 32, 48 and 256 pixels into
# vexlo.ico; the 256-pixel image, for Explorer's large views, is stored PNG-compressed.
# Needs ImageMagick: apt-get install imagemagick.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Everything is drawn on a 48-unit grid and scaled, so the sizes keep one design.
draw() { # size
    local s=$1
    local scale; scale=$(echo "scale=4; $s / 48" | bc)
    # Stroke widths are in grid units too; the large image keeps the 48-pixel proportions.
    local stroke; stroke=$(echo "scale=2; if ($s < 32) 1.2 else if ($s > 48) 3 else $s / 16" | bc)
    "$convert" -size "${s}x${s}" xc:none \
        -draw "scale $scale,$scale fill '#1565C0' stroke none circle 24,24 24,1" \
        -draw "scale $scale,$scale fill '#FFFFFF' stroke none circle 24,24 24,5" \
        -stroke '#1565C0' -strokewidth "$stroke" -fill none \
        -draw "scale $scale,$scale line 24,7 24,11 line 41,24 37,24 line 24,41 24,37 line 7,24 11,24" \
        -stroke '#263238' -strokewidth "$(echo "scale=2; $stroke * 1.4" | bc)" \
        -draw "scale $scale,$scale line 24,24 16,17" \
        -draw "scale $scale,$scale line 24,24 33,12" \
        -stroke none -fill '#D32F2F' -draw "scale $scale,$scale circle 24,24 24,26.5" \
        "PNG32:$work/clock-$s.png"
}

images=()
for size in 16 32 48 256; do
    draw "$size"
    images+=("$work/clock-$size.png")
done
# ImageMagick stores an image of 256 pixels in an .ico as PNG, the smaller ones as bitmaps.
"$convert" "${images[@]}" vexlo.ico
