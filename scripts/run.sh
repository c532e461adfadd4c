#!/usr/bin/env bash
# The main job: builds Vexlo.exe and runs it under Wine against the local RFC 868 "time" service
# (Debian xinetd on 127.0.0.1:37).
# - On a machine with a display, the window opens there, with the local service as the first row
#   of its list: double-click it (or select it and press "校时").
# - Without a display it runs on Xvfb, double-clicks that row itself, and writes the log pane's
#   text and a screenshot of the window into out/ (VEXLO_OUT_DIR).
# Either way it then runs one unattended exchange, Vexlo.exe /ip 127.0.0.1, and reports its exit code.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VEXLO_BUILD_DIR:-$root/build/mingw}
out=${VEXLO_OUT_DIR:-$root/out}

bash "$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Vexlo vexlo_demo >/dev/null

mkdir -p "$out"
out=$(cd "$out" && pwd)
"$root/scripts/time-service" start 127.0.0.1 "$build/run"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    interactive=1
    export VEXLO_HOST_DISPLAY=$DISPLAY
else
    interactive=0
fi
eval "$("$root/scripts/wine-session" start "$build")"
trap '"$root/scripts/wine-session" stop "$build"; "$root/scripts/time-service" stop 127.0.0.1 "$build/run"' EXIT

demo=("$root/scripts/wine-run" "$build/tests/e2e/vexlo_demo.exe")
if [ $interactive -eq 1 ]; then
    echo "Vexlo's window is open on $DISPLAY; close it to go on."
    "${demo[@]}" --interactive "Z:${out//\//\\}" || true
else
    echo "Synchronising with 127.0.0.1 through the window on Xvfb ..."
    "${demo[@]}" "Z:${out//\//\\}"
    echo "Log pane and screenshot: $out/vexlo-log.txt, $out/vexlo-window.png"
fi

echo "Vexlo.exe /ip 127.0.0.1 (unattended) ..."
set +e
"$root/scripts/wine-run" "$build/Vexlo.exe" /ip 127.0.0.1
code=$?
set -e
case $code in
    0) meaning="the clock was set from the server's answer" ;;
    1) meaning="no answer" ;;
    2) meaning="the main window could not be created" ;;
    3) meaning="the answer was refused: more than ten years from the local year" ;;
    4) meaning="the system refused to set the clock" ;;
    5) meaning="the program itself failed" ;;
    6) meaning="the command line was not understood" ;;
    *) meaning="not one of Vexlo's exit codes" ;;
esac
echo "exit code $code ($meaning)"
exit $code
