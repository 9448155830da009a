#!/usr/bin/env bash
# Resident memory of the pet started on a huge settings file (50 MB, 2.37 million keys, the
# birth among them), beside the same pet on an ordinary one: at its peak during the start-up
# and 10 s later, once the start-up is over.
# Usage: bench/big_settings.sh path/to/pimbolet
set -euo pipefail

pet=${1:?usage: big_settings.sh path/to/pimbolet}
# shellcheck source=desktop.sh
source "$(dirname "$0")/desktop.sh"
desktop_up big-settings 1280x1024
settings=$(settings_file)

run() { # name
    local pid
    start_pet "$pet" >/dev/null
    pid=$E2E_LAST_PID
    sleep 10
    printf '%-34s %8d KiB at the peak   %8d KiB after start-up\n' "$1" \
        "$(memory_kib "$pid" VmHWM)" "$(memory_kib "$pid" VmRSS)"
    kill "$pid"
    wait_for_exit "$pid" 5
}

store_birth "2025-01-02 03:04:05"
run "ordinary settings file"
awk 'BEGIN { print "[Settings]"; for (i = 0; i < 2370000; i++) printf "key%07d=%010d\n", i, i
             print "birth=2025-01-02 03:04:05" }' >"$settings"
run "$(($(stat -c %s "$settings") / 1000000)) MB settings file"
