#!/usr/bin/env bash
# Makes the README's screenshot of the main window at another DPI, docs/main-window-<DPI>dpi.png
# (DPI 144 unless given), the way scripts/run.sh makes the one at 96 DPI: a synchronisation with
# the local time service through the window on Xvfb, here in a Wine world at that DPI (its Xvfb
# screen and the virtual desktop scaled to it).
#   bash scripts/screenshot-dpi.sh [DPI]
# It uses the build folder's Wine world: not while that folder's tests run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=${1:-144}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# run.sh ends with the unattended run's exit code, which under Wine is 4 (the clock change is
# refused): the screenshot is what counts here.
env -u DISPLAY VEXLO_DPI="$dpi" VEXLO_OUT_DIR="$out" bash "$root/scripts/run.sh" || true
[ -s "$out/vexlo-window.png" ] || { echo "no screenshot made" >&2; exit 1; }
cp "$out/vexlo-window.png" "$root/docs/main-window-${dpi}dpi.png"
echo "docs/main-window-${dpi}dpi.png: $(/usr/bin/identify -format '%w x %h' "$out/vexlo-window.png")"
