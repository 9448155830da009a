#!/usr/bin/env bash
# What the update check costs the pet against web sites that answer without end (see
# tests/e2e/hostile_web_site.py), beside an ordinary answer: how long the pet takes to show,
# the processor time it has spent by then and the most memory it has held.
# Usage: bench/hostile_web_site.sh path/to/pimbolet [seconds to wait for the pet, 70]
set -euo pipefail

pet=${1:?usage: hostile_web_site.sh path/to/pimbolet [seconds]}
seconds=${2:-70}
# shellcheck source=desktop.sh
source "$(dirname "$0")/desktop.sh"
desktop_up hostile-web-site 1280x1024
PIMBOLET_BIN=$pet private_program_copy
store_birth "2025-01-02 03:04:05"

printf '%-16s %12s %14s %12s\n' answer "pet shows" "processor time" "peak memory"
for kind in same-version header-lines header-line continues chunk-size chunk-extension \
    one-byte-chunks; do
    shown=after
    start_against_hostile_site "$kind" "$E2E_PROGRAM" "$seconds" || shown=never
    printf '%-16s %6s %5d ms %11d ms %8d KiB\n' "$kind" "$shown" "$E2E_SHOWN_MS" "$E2E_CPU_MS" \
        "$E2E_PEAK_KIB"
done
