#!/usr/bin/env bash
# Draws the program icon (a clock face at ten past ten) at 16, 32 and 48 pixels into vexlo.ico.
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
    local stroke; stroke=$(echo "scale=2; if ($s < 32) 1.2 else $s / 16" | bc)
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

for size in 16 32 48; do draw "$size"; done
"$convert" "$work/clock-16.png" "$work/clock-32.png" "$work/clock-48.png" vexlo.ico
