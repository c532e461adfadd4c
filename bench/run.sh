#!/usr/bin/env bash
# Benchmark, under one warm wineserver:
# - the unattended Vexlo.exe /ip 127.0.0.1 against xinetd's time service, beside the least PE
#   program that does one blocking RFC 868 exchange (bench/baseline_rfc868.c) and the least one
#   that creates and destroys the hidden main window (bench/window_floor.c), taking turns, median
#   of RUNS runs each (default 21), with the ratios;
# - interactive starts until the window shows an empty list, 10,000 and 100,000 servers
#   (bench/window_timer.c);
# - the CPU time an idle main window uses in 5 seconds;
# - how far from the server's time each road sets the clock, against RFC 868 servers whose clocks
#   run known offsets of more than a second from the host's (bench/offset_server.c), seen from
#   outside: Wine refuses such a change and prints the requested time minus its clock. The quick
#   road is measured beside the previous version's (VEXLO_PREVIOUS, a git revision, built once
#   into build/previous-<commit>), in turns, as are the unattended exchange and the starts.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VEXLO_BUILD_DIR:-$root/build/mingw}
runs=${RUNS:-21}

bash "$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Vexlo baseline_rfc868 window_floor window_timer offset_server \
    >/dev/null
# The version before the clock was set to the middle of the server's second.
previous_ref=$(git -C "$root" rev-parse "${VEXLO_PREVIOUS:-3850944}")
previous=$root/build/previous-${previous_ref:0:10}
if [ ! -f "$previous/Vexlo.exe" ]; then
    rm -rf "$previous.src"
    git -C "$root" worktree add -f --detach "$previous.src" "$previous_ref" >/dev/null 2>&1
    cmake --preset mingw -S "$previous.src" -B "$previous" -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$previous" -j2 --target Vexlo >/dev/null
    git -C "$root" worktree remove --force "$previous.src"
fi
"$root/scripts/time-service" start 127.0.0.1 "$build/bench"
eval "$("$root/scripts/wine-session" start "$build")"
trap '"$root/scripts/wine-session" stop "$build"; "$root/scripts/time-service" stop 127.0.0.1 "$build/bench"' EXIT

run=("$root/scripts/wine-run")
winepath_of() { echo "Z:${1//\//\\}"; }
elapsed_us() { # program args...: wall time of one run, in microseconds
    local start end
    start=$(date +%s%N)
    local status=0
    "${run[@]}" "$@" >/dev/null 2>&1 || status=$?
    end=$(date +%s%N)
    # Vexlo.exe /ip ends with 4 when Wine refuses the clock change (any change over half a second).
    if [ "$status" -ne 0 ] && [ "$status" -ne 4 ]; then
        echo "benchmark: $* failed ($status)" >&2
        exit 1
    fi
    echo $(((end - start) / 1000))
}
median_ms() { # microsecond figures, one a line: their median in milliseconds
    sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

source "$root/scripts/common.sh"
# Warm the server, the page cache and the prefix's services.
"${run[@]}" "$build/bench/baseline_rfc868.exe" 127.0.0.1 >/dev/null 2>&1 || true
"${run[@]}" "$build/Vexlo.exe" /ip 127.0.0.1 >/dev/null 2>&1 || true
"${run[@]}" "$build/bench/window_floor.exe" >/dev/null 2>&1 || true

# The programs take turns, so that whatever else the machine does falls on all of them.
baseline_us=() vexlo_us=() previous_us=() floor_us=()
for _ in $(seq "$runs"); do
    baseline_us+=("$(elapsed_us "$build/bench/baseline_rfc868.exe" 127.0.0.1)")
    vexlo_us+=("$(elapsed_us "$build/Vexlo.exe" /ip 127.0.0.1)")
    previous_us+=("$(elapsed_us "$previous/Vexlo.exe" /ip 127.0.0.1)")
    floor_us+=("$(elapsed_us "$build/bench/window_floor.exe")")
done
baseline=$(printf '%s\n' "${baseline_us[@]}" | median_ms)
vexlo=$(printf '%s\n' "${vexlo_us[@]}" | median_ms)
previous_ms=$(printf '%s\n' "${previous_us[@]}" | median_ms)
floor=$(printf '%s\n' "${floor_us[@]}" | median_ms)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "unattended exchange, median of $runs: Vexlo.exe ${vexlo} ms, baseline ${baseline} ms, ratio $(ratio "$vexlo" "$baseline")"
echo "previous version (${previous_ref:0:7}), median of $runs: ${previous_ms} ms; this version to it: $(ratio "$vexlo" "$previous_ms")"
echo "hidden main window alone (window_floor.exe), median of $runs: ${floor} ms; Vexlo.exe /ip to it: $(ratio "$vexlo" "$floor")"

# Interactive starts with long server lists, each in a program folder of its own.
server_file() { # count: an srv.xml with that many servers
    awk -v n="$1" 'BEGIN {
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n    <autorun>x</autorun>\n  </cfg>"
        for (i = 0; i < n; i++)
            printf "  <srv>\n    <url>time-%d.example.net</url>\n    <ip>10.%d.%d.%d</ip>\n  </srv>\n", i, int(i / 62500) % 250, int(i / 250) % 250, i % 250 + 1
        print "</srv_root>"
    }'
}
list_start_ms() { # folder count: one start until the list is on screen, in ms
    "${run[@]}" "$build/bench/window_timer.exe" "$(winepath_of "$1/Vexlo.exe")" "$2" 30000 ||
        { echo "benchmark: the list of $2 servers did not show" >&2; exit 1; }
}
list_line="interactive start until the list is on screen, median of $runs, this version (previous):"
for count in 0 10000 100000; do
    for version in this previous; do
        folder=$build/bench/list-$count-$version
        mkdir -p "$folder"
        cp "$([ $version = this ] && echo "$build" || echo "$previous")/Vexlo.exe" "$folder/"
        server_file "$count" >"$folder/srv.xml"
    done
    this_ms=() previous_list_ms=()
    for _ in $(seq "$runs"); do
        this_ms+=("$(list_start_ms "$build/bench/list-$count-this" "$count")")
        previous_list_ms+=("$(list_start_ms "$build/bench/list-$count-previous" "$count")")
    done
    this_median=$(printf '%s\n' "${this_ms[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    previous_median=$(printf '%s\n' "${previous_list_ms[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    list_line+=" $count servers $this_median ms ($previous_median ms, ratio $(ratio "$this_median" "$previous_median"));"
done
echo "${list_line%;}"

# Idle CPU: the main window, shown and left alone, from 1 s after start for 5 s.
"${run[@]}" "$build/Vexlo.exe" >/dev/null 2>&1 &
sleep 1.5
pid=$(pgrep -n -f 'Vexlo\.exe$' || pgrep -n -f 'Vexlo\.exe')
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 5
after=$(ticks)
hz=$(getconf CLK_TCK)
idle_ms=$(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN {printf "%d", t * 1000 / hz}')
kill "$pid" 2>/dev/null || true
wait 2>/dev/null || true
echo "idle main window: ${idle_ms} ms of CPU time in 5 s"

# The clock's error on each road. Wine logs "NtSetSystemTime not allowed: difference N ms" for a
# change of more than half a second: N less the server's offset is the error of the value set.
# Far enough that Wine refuses every value either version sets (the previous one is up to a
# second slow).
offsets=(2300 -1700 3250 -2650)
servers=()
for i in "${!offsets[@]}"; do
    "${run[@]}" "$build/bench/offset_server.exe" "127.0.0.$((201 + i))" "${offsets[$i]}" \
        >/dev/null 2>&1 &
    servers+=($!)
done
trap '"$root/scripts/wine-session" stop "$build"; "$root/scripts/time-service" stop 127.0.0.1 "$build/bench"; kill ${servers[*]} 2>/dev/null || true' EXIT
sleep 1
clock_error_ms() { # program offset address [options]: the error of the value it set, in ms
    local program=$1 offset=$2
    shift 2
    # Through a file: a pipe would stay open for as long as a Wine service the run started lives.
    local messages=$build/bench/clock-messages.txt
    WINEDEBUG=err+sync LANG=$VEXLO_LOCALE vexlo_no_clock "$VEXLO_WINE" "$program" /ip "$@" \
        </dev/null >/dev/null 2>"$messages" || true
    local difference
    difference=$(grep -ao 'difference -\?[0-9]* ms' "$messages" | grep -o -- '-\?[0-9]*' | tail -1)
    [ -n "$difference" ] || { echo "benchmark: no clock change seen from $program" >&2; return 1; }
    echo $((difference - offset))
}
summary() { # errors, one a line: mean and largest magnitude
    awk '{s += $1; a = $1 < 0 ? -$1 : $1; if (a > m) m = a} END {printf "mean %+.1f ms, largest %d ms", s / NR, m}'
}
quick_runs=${QUICK_RUNS:-13}
this_quick=() previous_quick=()
# A version from before the clock seam sets nothing Wine reports: it is left out.
compare_previous=true
clock_error_ms "$previous/Vexlo.exe" "${offsets[0]}" 127.0.0.201 >/dev/null 2>&1 || compare_previous=false
for _ in $(seq "$quick_runs"); do
    for i in "${!offsets[@]}"; do
        this_quick+=("$(clock_error_ms "$build/Vexlo.exe" "${offsets[$i]}" "127.0.0.$((201 + i))")")
        $compare_previous || continue
        previous_quick+=("$(clock_error_ms "$previous/Vexlo.exe" "${offsets[$i]}" "127.0.0.$((201 + i))")")
    done
done
echo "quick road, clock error over $((quick_runs * ${#offsets[@]})) runs (offsets ${offsets[*]} ms):" \
    "this version $(printf '%s\n' "${this_quick[@]}" | summary);" \
    "previous version $($compare_previous && printf '%s\n' "${previous_quick[@]}" | summary || echo "not measured: Wine reports no change it asks for")"
precise_run() { # offset address [wait]: one precise run's error and its length in seconds
    local start=$(date +%s%N) error
    error=$(clock_error_ms "$build/Vexlo.exe" "$1" "$2" /precise)
    echo "$error ms in $(( ($(date +%s%N) - start) / 1000000000 )) s"
}
echo "precise road, clock error (offset ${offsets[0]} ms): $(precise_run "${offsets[0]}" 127.0.0.201);" \
    "(offset ${offsets[1]} ms): $(precise_run "${offsets[1]}" 127.0.0.202)"
# A server that waits 0-50 ms at random before it reads its clock.
"${run[@]}" "$build/bench/offset_server.exe" 127.0.0.205 "${offsets[0]}" 50 >/dev/null 2>&1 &
servers+=($!)
sleep 1
echo "precise road against a server that waits 0-50 ms before its stamp (offset ${offsets[0]} ms):" \
    "$(precise_run "${offsets[0]}" 127.0.0.205); $(precise_run "${offsets[0]}" 127.0.0.205)"
