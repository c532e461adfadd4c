#!/usr/bin/env bash
# Static analysis of every source file with the MinGW headers: the include layers
# (scripts/include-layers.py), cppcheck, clang-tidy (with the checks of .clang-tidy), then the
# program built with GCC's -fanalyzer. Exits non-zero on any finding; a finding that is accepted
# carries a suppression with its reason at its line. Given file names, it runs cppcheck and
# clang-tidy over those files only (the include layers always over every file).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VEXLO_BUILD_DIR:-$root/build/mingw}
cd "$root"
[ -f "$build/compile_commands.json" ] ||
    cmake --preset mingw -S "$root" -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

if [ $# -gt 0 ]; then
    sources=("$@")
else
    mapfile -t sources < <(git ls-files '*.cpp' '*.c')
fi
echo "include layers: every file"
python3 "$root/scripts/include-layers.py"
includes=(-I "$root")

echo "cppcheck: ${#sources[@]} files"
cppcheck --quiet --error-exitcode=1 --std=c++20 --library=windows --library=googletest --platform=win64 \
    -D_WIN32 -D_WIN64 -DUNICODE -D_UNICODE -D__MINGW32__ -D__GNUC__ \
    --enable=warning,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=unmatchedSuppression \
    "${includes[@]}" "${sources[@]}"

# clang-tidy parses as the MinGW compiler does: its target, its C++ library and its headers.
tidy_args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++ --quiet)
while read -r dir; do
    tidy_args+=("--extra-arg=-isystem$dir")
done < <(echo | x86_64-w64-mingw32-g++-posix -E -x c++ - -v 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /' |
    grep -v 'include-fixed' | grep -v 'posix/include$' | sed 's/^ //')
tidy_sources=()
for source in "${sources[@]}"; do
    grep -q "\"file\": \"$root/$source\"" "$build/compile_commands.json" && tidy_sources+=("$source")
done
echo "clang-tidy: ${#tidy_sources[@]} files"
printf '%s\n' "${tidy_sources[@]}" |
    { xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" "${tidy_args[@]}" 2>&1 || true; } |
    { grep -v -e '^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated\.$' \
          -e '^Suppressed ' -e '^Use -header-filter' || true; } | tee "$build/clang-tidy.log"
! grep -q 'warning:\|error:\|Error while processing' "$build/clang-tidy.log" || exit 1
[ $# -gt 0 ] && exit 0

analyze=${VEXLO_ANALYZE_BUILD_DIR:-$root/build/analyze}
echo "gcc -fanalyzer: Vexlo.exe"
cmake --preset mingw -S "$root" -B "$analyze" -DVEXLO_ANALYZE=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$analyze" --target Vexlo -j "$(nproc)" 2>&1 | tee "$analyze/analyzer.log" |
    grep -A12 'warning:\|error:' || true
! grep -q 'warning:\|error:' "$analyze/analyzer.log"
