#!/usr/bin/env bash
# Runs the whole suite with Wine's heap checks (WINEDEBUG=warn+heap) and fails on any heap
# warning or error that a test process printed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VEXLO_BUILD_DIR:-$root/build/mingw}
# Heap checks slow every allocation down: ctest gives each test ten times its time (and the
# tests stretch their own bounds, tests/support/time_limits.h).
WINEDEBUG=warn+heap VEXLO_TEST_TIMEOUT=600 bash "$root/scripts/test.sh" "$@"
log=$build/Testing/Temporary/LastTest.log
if grep -E '(warn|err):heap' "$log"; then
    echo "heap-check: Wine reported heap damage (see $log)" >&2
    exit 1
fi
echo "heap-check: no heap warnings"
