#!/usr/bin/env bash
# A minute of life of the pet beside two classic X11 desktop pets, each alone on a fresh desktop
# of its own (Xvfb 1280x800, openbox, tint2, a PulseAudio null sink): started, left alone for
# 20 s, then measured for 60 s: the CPU time of the program (all its threads) and of the X
# server. Rounds are interleaved (pimbolet, oneko, xpenguins, pimbolet, ...); the medians are
# printed, the ratio of the pet's total to oneko's last.
#
# Usage: bench/life_minute.sh path/to/pimbolet [rounds] [seconds]
#        bench/life_minute.sh path/to/pimbolet --profile [seconds]
# With --profile only the pet is run, once, under perf: what each of its threads used and how
# often it woke, the cost of one wakeup of its main thread, and where that time goes (by
# library, kernel included, and the busiest functions). perf itself adds to those figures.
# The pet's random source is seeded with PIMBOLET_SEED (1 unless set), so that every round
# lives the same minute. Its About box is opened and hidden again from the tray menu before
# the measurement, so every window it has is loaded when its memory is read.
set -euo pipefail

pet=$(realpath "${1:?usage: life_minute.sh path/to/pimbolet [rounds|--profile] [seconds]}")
rounds=${2:-3}
seconds=${3:-60}
profile=false
[ "$rounds" = --profile ] && profile=true
settle=${BENCH_SETTLE:-20}
export PIMBOLET_SEED=${PIMBOLET_SEED:-1}
export PATH=$PATH:/usr/games
for tool in Xvfb openbox tint2 pulseaudio pactl xdotool oneko xpenguins; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/setup test installs it)"; exit 1; }
done

# shellcheck source=desktop.sh
source "$(dirname "$0")/desktop.sh"

# CPU time in ms, summed over all threads of a process, from the scheduler's nanoseconds (the
# desktop library's cpu_ms counts clock ticks).
cpu_ns_ms() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { print int(ns / 1000000) }'; }

# The pet's About box, opened from the tray menu and hidden again with OK.
load_about() {
    local about
    tray_click "$1" >/dev/null || return 0
    choose Down Down Down Down Return
    about=$(wait_for_window "About KOZ" 5) || return 0
    # A click on its OK button.
    click_twips "$about" 2350 900
    wait_for_no_window "About KOZ" 3
    move_pointer 640 400
}

# measure ROUND NAME COMMAND...: one program alone on a fresh desktop.
measure() {
    local round=$1 name=$2 pid c0 x0 c1 x1
    shift 2
    desktop_up "$round-$name" 1280x800 sound
    [ "$name" = pimbolet ] && store_birth "2025-01-02 03:04:05"
    e2e_spawn "$name" "$@"
    pid=$E2E_LAST_PID
    sleep 3
    [ "$name" = pimbolet ] && load_about "$pid"
    sleep $((settle - 3))
    c0=$(cpu_ns_ms "$pid")
    x0=$(cpu_ns_ms "$XSERVER")
    sleep "$seconds"
    c1=$(cpu_ns_ms "$pid")
    x1=$(cpu_ns_ms "$XSERVER")
    echo "$name $(((c1 - c0) * 60 / seconds)) $(((x1 - x0) * 60 / seconds)) $(memory_kib "$pid" VmRSS)" \
        >>"$work/results"
    printf 'round %d  %-10s client %5d  X server %5d ms per minute  %6d KiB resident\n' \
        "$round" "$name" $(((c1 - c0) * 60 / seconds)) $(((x1 - x0) * 60 / seconds)) \
        "$(memory_kib "$pid" VmRSS)"
    e2e_stop_all
}

# Threads of a process: name, CPU time in ns, wakeups.
threads() {
    local t
    for t in /proc/"$1"/task/*; do
        echo "$(basename "$t") $(tr ' ' _ <"$t/comm") $(awk '{ print $1, $3 }' "$t/schedstat")"
    done | sort
}

profile_pet() {
    command -v perf >/dev/null || { echo "missing: perf"; exit 1; }
    local pid
    desktop_up 1-profile 1280x800 sound
    store_birth "2025-01-02 03:04:05"
    e2e_spawn pimbolet "$pet"
    pid=$E2E_LAST_PID
    sleep "$settle"
    threads "$pid" >"$work/before"
    perf record -e cpu-clock -F 20000 --call-graph dwarf -p "$pid" -o "$work/perf.data" -- sleep "$seconds" \
        >/dev/null 2>&1
    threads "$pid" >"$work/after"
    echo "the pet's threads over ${seconds} s (under perf):"
    join -a 2 "$work/before" "$work/after" | awk -v s="$seconds" '
        NF == 7 { ms = ($6 - $3) / 1e6; n = $7 - $4; name = $5 }
        NF == 4 { ms = $3 / 1e6; n = $4; name = $2 }
        { printf "  %-16s %7.1f ms per minute %6d wakeups per minute", name, ms * 60 / s, n * 60 / s
          if (n > 0) printf " %6.0f us per wakeup", ms * 1000 / n
          printf "\n" }'
    echo "where the main thread's time goes, by library:"
    perf report -i "$work/perf.data" --comm pimbolet --no-children --sort dso --stdio \
        2>/dev/null | awk '/^ +[0-9.]+%/ { printf "  %s %s\n", $1, $2 }' | head -12
    echo "the busiest functions of the main thread (self time):"
    perf report -i "$work/perf.data" --comm pimbolet --no-children --sort sym --stdio \
        2>/dev/null | awk '/^ +[0-9.]+%/ { $2 = ""; print "  " $0 }' | head -25
    echo "what the main thread's time is spent under (with callees):"
    perf report -i "$work/perf.data" --comm pimbolet --children --sort sym --stdio 2>/dev/null |
        awk '/^ +[0-9.]+% +[0-9.]+%/ { $2 = ""; $3 = ""; print "  " $0 }' |
        grep -E 'poll|writev|activateTimers|Timer1_Timer|ShowCell|xcb_flush|Form1|Window::|X11[A-Za-z]*::|g_main_context_(check|prepare|dispatch)' |
        head -25
    e2e_stop_all
}

if "$profile"; then
    profile_pet
    exit 0
fi

echo "a minute of life: $rounds interleaved rounds, ${settle} s after start, ${seconds} s measured"
for round in $(seq 1 "$rounds"); do
    measure "$round" pimbolet "$pet"
    measure "$round" oneko oneko
    measure "$round" xpenguins xpenguins -n 1
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
declare -A totals
echo
printf '%-10s %8s %9s %7s %12s\n' program client "X server" total "KiB resident"
for name in pimbolet oneko xpenguins; do
    client=$(awk -v n="$name" '$1 == n { print $2 }' "$work/results" | median)
    xserver=$(awk -v n="$name" '$1 == n { print $3 }' "$work/results" | median)
    total=$(awk -v n="$name" '$1 == n { print $2 + $3 }' "$work/results" | median)
    rss=$(awk -v n="$name" '$1 == n { print $4 }' "$work/results" | median)
    printf '%-10s %8d %9d %7d %12d\n' "$name" "$client" "$xserver" "$total" "$rss"
    totals[$name]=$total
done
echo "medians in ms of CPU per minute (client + X server = total)"
awk -v p="${totals[pimbolet]}" -v o="${totals[oneko]}" \
    'BEGIN { printf "pimbolet / oneko (total): %.2f (target: at most 0.50)\n", o ? p / o : 0 }'
