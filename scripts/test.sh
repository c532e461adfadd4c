#!/usr/bin/env bash
# Builds Vexlo and its tests for Windows and runs the tests under Wine (CTest starts and stops
# the Wine world itself). A fresh Debian 12 machine (as root) needs nothing else: setup.sh
# installs and builds what is missing. Arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${VEXLO_PRESET:-mingw}
build=${VEXLO_BUILD_DIR:-$root/build/$preset}

bash "$root/scripts/setup.sh"
cmake --preset "$preset" -S "$root" -B "$build" \
    -DVEXLO_TEST_TIMEOUT="${VEXLO_TEST_TIMEOUT:-60}" >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2 --timeout "$((${VEXLO_TEST_TIMEOUT:-60} * 2))" "$@"
