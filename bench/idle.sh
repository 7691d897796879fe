#!/usr/bin/env bash
# What vireo costs while nobody uses it: wake-ups a second summed over its threads and CPU time per
# minute, hidden in the tray and shown, on the virtual mouse (connected, idle), and its resident
# memory hidden next to a bare Qt window of the same size on the same X server. Runs on a private
# Xvfb display with openbox and an XEmbed tray (trayer), inside its own D-Bus session.
# Usage: bench/idle.sh [BUILD_DIR] [SECONDS per phase, default 60] [DISPLAY number, default 76]
# Wake-ups are the context switches of every thread (/proc/PID/task/*/status), CPU the time on CPU
# of every thread (/proc/PID/task/*/schedstat, nanoseconds).
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
seconds="${2:-60}"
display=":${3:-76}"

if [ -z "${VIREO_IDLE_INNER:-}" ]; then
    for tool in Xvfb openbox trayer xdotool dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "bench/idle.sh: $tool is missing" >&2; exit 1; }
    done
    Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true' EXIT
    for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
    VIREO_IDLE_INNER=1 DISPLAY="$display" dbus-run-session -- bash "$0" "$build" "$seconds" "${3:-76}"
    exit $?
fi

unset QT_QPA_PLATFORM
data="$(mktemp -d)"
runtime="$(mktemp -d)"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" VIREO_DATA_DIR="$data" VIREO_HID=sim VIREO_SKIN_DIR="$build/skins"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$data" "$runtime"
}
trap cleanup EXIT

openbox >/dev/null 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype pixel --width 200 --height 32 >/dev/null 2>&1 &
pids+=($!)
sleep 2

per_thread() { # "tid context-switches cpu-ns" for every thread
    for t in /proc/"$1"/task/*; do
        awk -v tid="${t##*/}" '/ctxt_switches/ { n += $2 } END { printf "%s %d ", tid, n }' "$t"/status 2>/dev/null &&
            awk '{ printf "%d\n", $1 }' "$t"/schedstat 2>/dev/null
    done
}
rss_kb() {
    awk '/^VmRSS:/ { print $2 }' /proc/"$1"/status
}
threads() {
    ls /proc/"$1"/task | wc -l
}
# Prints "wake-ups/s CPU-ms/min" over $seconds: the growth of each thread that lived through it,
# and all of a thread that began meanwhile (a thread that ended takes its share with it).
measure() {
    local before after t0 t1
    before=$(per_thread "$1") t0=$(date +%s%N)
    sleep "$seconds"
    after=$(per_thread "$1") t1=$(date +%s%N)
    awk -v t=$((t1 - t0)) -v before="$before" '
        BEGIN { n = split(before, lines, "\n"); for (i = 1; i <= n; ++i) { split(lines[i], f, " "); s0[f[1]] = f[2]; c0[f[1]] = f[3] } }
        NF == 3 { s += $2 - s0[$1]; c += $3 - c0[$1] }
        END { printf "%.2f %.1f\n", s / (t / 1e9), (c / 1e6) * 60 / (t / 1e9) }' <<<"$after"
}
window_of() { # the first mapped window of a process
    xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1
}

"$build/vireo" --hidden >/dev/null 2>&1 &
vireo=$!
pids+=($vireo)
# Past the start: its read-back, the first save of the data folder, the tray's first exchanges.
sleep 15
read -r hidden_wake hidden_cpu < <(measure "$vireo")
hidden_rss=$(rss_kb "$vireo")
hidden_threads=$(threads "$vireo")

# A second start brings the window up (the virtual mouse asks for it).
"$build/vireo" >/dev/null 2>&1 || true
sleep 3
shown_window=$(window_of "$vireo")
read -r shown_wake shown_cpu < <(measure "$vireo")
shown_rss=$(rss_kb "$vireo")

# Its close button hides it into the tray; the artwork goes after 30 s hidden.
rehidden_rss="-"
if [ -n "$shown_window" ]; then
    xdotool mousemove --window "$shown_window" 1099 19 click 1
    sleep 35
    if [ -z "$(window_of "$vireo")" ]; then
        rehidden_rss=$(rss_kb "$vireo")
    else
        rehidden_rss="not hidden"
    fi
fi

"$build/vireo_bench_startup" idle bare >/dev/null 2>&1 &
bare=$!
pids+=($bare)
sleep 5
bare_rss="-" bare_wake="-" bare_cpu="-"
if [ -d /proc/"$bare" ]; then
    bare_rss=$(rss_kb "$bare")
    read -r bare_wake bare_cpu < <(seconds=$((seconds < 20 ? seconds : 20)) measure "$bare")
fi

printf '%-44s %12s %12s %12s\n' "vireo, virtual mouse idle (${seconds} s each)" "wake-ups/s" "CPU ms/min" "RSS kB"
printf '%-44s %12s %12s %12s\n' "  started hidden in the tray" "$hidden_wake" "$hidden_cpu" "$hidden_rss"
printf '%-44s %12s %12s %12s\n' "  shown" "$shown_wake" "$shown_cpu" "$shown_rss"
printf '%-44s %12s %12s %12s\n' "  hidden again for 35 s" "" "" "$rehidden_rss"
printf '%-44s %12s %12s %12s\n' "  bare Qt window of the same size, shown" "$bare_wake" "$bare_cpu" "$bare_rss"
printf 'threads of vireo hidden: %s; targets: hidden <= 0.25/s and <= 10 ms/min, shown <= 2/s, RSS hidden <= bare\n' \
    "$hidden_threads"
