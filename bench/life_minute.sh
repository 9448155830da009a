#!/usr/bin/env bash
# One minute of the pet's life under Xvfb, after its start-up: CPU milliseconds and resident
# memory, beside the same figures for xpenguins with one penguin, measured the same way.
# Usage: bench/life_minute.sh path/to/pimbolet [seconds] [path/to/tick_bench]
# With tick_bench, a Qt program that does nothing but wake five times a second is measured the
# same way: the floor under the pet's figure on this machine.
set -euo pipefail

pet=${1:?usage: life_minute.sh path/to/pimbolet [seconds]}
seconds=${2:-60}
floor_bench=${3:-}
# shellcheck source=desktop.sh
source "$(dirname "$0")/desktop.sh"
tint2 >/dev/null 2>&1 & pids+=($!)
if command -v pulseaudio >/dev/null; then
    pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
        --load=module-native-protocol-unix --load="module-null-sink sink_name=null" \
        >/dev/null 2>&1 & pids+=($!)
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink null >/dev/null 2>&1 || true
fi

# A later run: the pet walks in from an edge and lives.
printf '[Settings]\nbirth=2025-01-02 03:04:05\n' >"$XDG_CONFIG_HOME/pimbolet/virtual pet Pimbolet.ini"

# CPU time to the nanosecond, summed over all threads of the process.
cpu_ms() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {print int(ns / 1000000)}'; }
rss_kib() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

measure() { # name, pid
    local name=$1 pid=$2
    sleep 5 # start-up is not part of the figure
    local before after
    before=$(cpu_ms "$pid")
    sleep "$seconds"
    after=$(cpu_ms "$pid")
    if [ -n "${BENCH_VERBOSE:-}" ]; then
        for t in /proc/"$pid"/task/*; do echo "    thread $(cat "$t"/comm): $(cut -d' ' -f1 "$t"/schedstat) ns in all"; done
    fi
    local per_minute=$(((after - before) * 60 / seconds))
    printf '%-26s %8d ms CPU per minute   %6d KiB resident\n' "$name" "$per_minute" "$(rss_kib "$pid")"
}

echo "one minute of life under Xvfb ($seconds s measured after a 5 s start-up):"
"$pet" >/dev/null 2>&1 &
pet_pid=$!
pids+=("$pet_pid")
measure "pimbolet" "$pet_pid"
kill "$pet_pid"

if command -v xpenguins >/dev/null; then
    xpenguins -n 1 >/dev/null 2>&1 &
    pen_pid=$!
    pids+=("$pen_pid")
    measure "xpenguins (one penguin)" "$pen_pid"
else
    echo "xpenguins is not installed: no comparison"
fi
if [ -n "$floor_bench" ]; then
    QT_QPA_PLATFORM=xcb "$floor_bench" --idle "$seconds"
fi
echo "targets: at most 60 ms CPU per minute of life and at most 40960 KiB resident"
