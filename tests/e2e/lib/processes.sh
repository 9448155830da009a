# shellcheck shell=bash
# A private temporary folder for what is started here (E2E_TMP), and the processes: each one
# started through e2e_spawn is listed, and stopped by its process id at the exit.

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pimbolet-e2e.XXXXXX")
E2E_PIDFILE=$E2E_TMP/pids
E2E_LOGS=$E2E_TMP/logs
E2E_FAILURES=0
E2E_T0=${EPOCHREALTIME//[.,]/}
mkdir -p "$E2E_LOGS"
: >"$E2E_PIDFILE"

# e2e_spawn NAME COMMAND...: runs the command in the background, output to logs/NAME.log, and
# sets E2E_LAST_PID (and E2E_LAST_LOG, that log). Not to be called in $(...): the process must be
# this shell's child.
e2e_spawn() {
    local name=$1
    shift
    E2E_LAST_LOG=$E2E_LOGS/$name.log
    "$@" </dev/null >>"$E2E_LAST_LOG" 2>&1 &
    E2E_LAST_PID=$!
    echo "$E2E_LAST_PID" >>"$E2E_PIDFILE"
}

# True while the process runs (an exited child that is not yet reaped does not count).
process_running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [ -n "$state" ] && [[ $state != Z* ]]
}

# wait_for_exit PID SECONDS: true when the process ended within the time.
wait_for_exit() {
    local deadline=$(($(now_ms) + ${2:-5} * 1000))
    while process_running "$1"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    wait "$1" 2>/dev/null
    return 0
}

# Stops every process started so far, the last started first: politely, then after 3 s for good.
e2e_stop_all() {
    local pids pid deadline
    pids=$(tac "$E2E_PIDFILE" 2>/dev/null)
    for pid in $pids; do kill -TERM "$pid" 2>/dev/null; done
    deadline=$(($(now_ms) + 3000))
    for pid in $pids; do
        while process_running "$pid" && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.05; done
        process_running "$pid" && kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    : >"$E2E_PIDFILE"
}

e2e_cleanup() {
    local status=$?
    set +e
    [ -n "${E2E_WATCHDOG:-}" ] && kill "$E2E_WATCHDOG" 2>/dev/null
    e2e_stop_all
    if [ -n "${E2E_ARTIFACTS:-}" ]; then
        for f in "$E2E_LOGS"/*.log; do [ -s "$f" ] && cp "$f" "$E2E_ARTIFACTS/"; done
    fi
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 143' TERM INT HUP

# Should CTest kill this shell outright at its time-out, the EXIT trap never runs: a watchdog
# outside the shell then stops what the test started.
e2e_start_watchdog() {
    [ -n "${E2E_WATCHDOG:-}" ] && return 0
    local parent=$$
    (
        trap '' INT
        while kill -0 "$parent" 2>/dev/null; do sleep 1; done
        for pid in $(tac "$E2E_PIDFILE" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null; done
        rm -rf "$E2E_TMP"
    ) </dev/null >/dev/null 2>&1 &
    E2E_WATCHDOG=$!
}

# wait_until SECONDS COMMAND...: polls the command every 0.1 s until it succeeds.
wait_until() {
    local deadline=$(($(now_ms) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')))
    shift
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# await_exit PID SECONDS: waits for the program to end; its exit status is in E2E_STATUS (empty
# while it runs). Not to be called in $(...): only this shell can collect the status.
await_exit() {
    E2E_STATUS=
    wait_until "$2" not process_running "$1" || return 1
    wait "$1"
    # shellcheck disable=SC2034 # handed to the test
    E2E_STATUS=$?
}

# cpu_ticks PID: the processor time the process has used so far, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }

# cpu_ms PID: the same in milliseconds.
cpu_ms() { echo $(($(cpu_ticks "$1") * 1000 / $(getconf CLK_TCK))); }

# memory_kib PID FIELD: a memory figure of the process in KiB, FIELD as in /proc/PID/status
# (VmRSS for its resident memory now, VmHWM for the most it has had).
memory_kib() { awk -v k="$2" '$1 == k":" { print $2 }' "/proc/$1/status" 2>/dev/null; }

# library_mapped PID NAME: true when a shared library whose file name begins with NAME (libcurl,
# say) is in the process's memory; status 2 when its memory map cannot be read.
library_mapped() {
    local maps
    maps=$(cat "/proc/$1/maps" 2>/dev/null) && [ -n "$maps" ] || return 2
    awk -v name="$2" '{ n = split($6, path, "/") } index(path[n], name) == 1 { found = 1 }
        END { exit !found }' <<<"$maps"
}
