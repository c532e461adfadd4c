#!/usr/bin/env bash
# The main job: builds Vexlo.exe and runs it under Wine against the local RFC 868 "time" service
# (xinetd on 127.0.0.1:37): one unattended exchange, then its exit code.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VEXLO_BUILD_DIR:-$root/build/mingw}
out=${VEXLO_OUT_DIR:-$root/out}

bash "$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Vexlo >/dev/null

mkdir -p "$out"
"$root/scripts/time-service" start 127.0.0.1 "$build/run"
eval "$("$root/scripts/wine-session" start "$build")"
trap '"$root/scripts/wine-session" stop "$build"; "$root/scripts/time-service" stop 127.0.0.1 "$build/run"' EXIT

echo "Vexlo.exe /ip 127.0.0.1 (unattended) ..."
set +e
"$root/scripts/wine-run" "$build/Vexlo.exe" /ip 127.0.0.1
code=$?
set -e
echo "exit code $code ($([ $code -eq 0 ] && echo "answer received and handled" || echo "no answer"))"
exit $code
