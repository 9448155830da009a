#!/usr/bin/env bash
# The X server's cost of each kind of request a desktop pet's step sends (see
# x_request_cost.cpp), on a desktop like the one life_minute.sh measures on: Xvfb 1280x800,
# openbox and tint2, and nothing else.
#
# Usage: bench/x_request_cost.sh path/to/x_request_cost [steps]
set -euo pipefail
tool=$(realpath "${1:?usage: x_request_cost.sh path/to/x_request_cost [steps]}")
for t in Xvfb openbox tint2; do
    command -v "$t" >/dev/null || { echo "missing: $t (scripts/setup test installs it)"; exit 1; }
done
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -dpi 96 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xserver=$!
pids+=("$xserver")
for _ in $(seq 100); do grep -q '^[0-9]' "$work/display" && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
tint2 >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$tool" "$xserver" "${2:-500}"
