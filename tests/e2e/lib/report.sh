# shellcheck shell=bash
# Reporting: the test's log, its checks and its outcome.

now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}

log() {
    local t=${EPOCHREALTIME//[.,]/}
    local ms=$(((t - E2E_T0) / 1000))
    printf '[%3d.%03ds] %s\n' $((ms / 1000)) $((ms % 1000)) "$*"
}

pass() { log "ok    $*"; }

fail() {
    log "FAIL  $*"
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Ends the test at once: used when nothing after the failed step can be checked.
die() {
    fail "$*"
    e2e_dump_windows
    exit 1
}

# What was on the display, for the logs of a failed test.
e2e_dump_windows() {
    [ -n "${DISPLAY:-}" ] || return 0
    {
        local pid
        while read -r pid; do
            echo "process $pid: $(ps -o stat=,args= -p "$pid" 2>/dev/null || echo ended)"
        done <"$E2E_PIDFILE"
        xwininfo -root -tree
        xprop -root _NET_CLIENT_LIST_STACKING
    } >"$E2E_LOGS/windows.log" 2>&1
    screenshot failure >/dev/null 2>&1
}

# expect DESCRIPTION COMMAND...: one check, passed when the command succeeds.
expect() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

e2e_finish() {
    if [ "$E2E_FAILURES" -gt 0 ]; then
        e2e_dump_windows
        log "$E2E_FAILURES check(s) failed; logs and screenshots in $E2E_ARTIFACTS"
        exit 1
    fi
    log "all checks passed"
    exit 0
}

# not COMMAND...: succeeds when the command fails, for use with expect and wait_until.
not() { ! "$@"; }
