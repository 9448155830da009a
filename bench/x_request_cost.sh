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
# shellcheck source=desktop.sh
source "$(dirname "$0")/desktop.sh"
desktop_up requests
"$tool" "$XSERVER" "${2:-500}"
