#!/usr/bin/env bash
# Runs a GoogleTest program inside a Wine virtual desktop of its own and passes only when the
# program reported at least one test and every test passed. Explorer, which hosts the desktop,
# does not hand on the program's exit code, so the program's XML report decides.
# It runs in the build folder's Wine world (scripts/wine-session).
#   run_in_desktop.sh BUILD_DIR WIDTHxHEIGHT PROGRAM REPORT [GTEST_ARGS...]
set -uo pipefail
[ $# -ge 4 ] || { echo "usage: $0 BUILD_DIR WIDTHxHEIGHT PROGRAM REPORT [ARGS...]" >&2; exit 2; }
build=$1 size=$2 program=$3 report=$4
shift 4
wine_run=("$(dirname "$0")/../../scripts/wine-run" --build "$build")
# xwininfo below asks the world's display.
[ -f "$build/wine/session.env" ] && source "$build/wine/session.env"
rm -f "$report"
# Wine gives every process of the session the screen size of the newest virtual desktop, also
# after that desktop is gone: afterwards a desktop of the display's own size restores it.
display_size=$(xwininfo -root 2>/dev/null |
    awk '/Width:/ {w = $2} /Height:/ {h = $2} END {if (w && h) print w "x" h}')
restore_screen() {
    [ -n "$display_size" ] || return 0
    timeout 30 "${wine_run[@]}" explorer "/desktop=VexloRestore$$,$display_size" cmd.exe /c exit
}
trap restore_screen EXIT
# The prefix's drive Z: is the host's root; the report path must be a Windows path.
timeout 100 "${wine_run[@]}" explorer "/desktop=VexloTest$$,$size" "$program" \
    "--gtest_output=xml:Z:$report" "$@"
status=$?
[ "$status" -eq 124 ] && { echo "FAILED: $program did not end within 100 s" >&2; exit 1; }
[ -s "$report" ] || { echo "FAILED: $program wrote no report to $report" >&2; exit 1; }
summary=$(grep -m1 -o '<testsuites [^>]*>' "$report")
count() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$summary"; }
tests=$(count tests) failures=$(count failures) errors=$(count errors)
skipped=$(grep -c 'result="skipped"' "$report")
echo "desktop $size: $tests tests, $failures failed, $errors errors, $skipped skipped"
[ "${tests:-0}" -gt 0 ] && [ "$failures" = 0 ] && [ "$errors" = 0 ] && [ "$skipped" = 0 ]
