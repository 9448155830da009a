#!/usr/bin/env bash
# A settings file that is there but cannot be read ends the start with "Oh Dear, and error has
# occured." and status 1, never with a first run: a FIFO in its place (the message comes at once
# and SIGTERM ends the program while it waits), a file this user may not read, a file read when
# no file descriptor is left (the message still readable). The file and its birth date stay as
# they were.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# outcome PID: what the start has come to so far: egg, error, walking or ended (nothing yet: "").
outcome() {
    if visible_window Egg >/dev/null; then
        echo egg
    elif visible_window "virtual pet Pimbolet" >/dev/null; then
        echo error
    elif visible_window Pimbolet >/dev/null; then
        echo walking
    elif ! process_running "$1"; then
        echo ended
    fi
}
settled() { [ -n "$(outcome "$1")" ]; }

# A start that must end with the error: no egg, the message, status 1 once it is answered (or the
# program is stopped, with STOP given), the settings file untouched.
expect_failed_start() {
    local what=$1 pid=$2 before=$3 stop=${4:-} box
    wait_until 10 settled "$pid"
    expect "$what: the error message, no egg ($(outcome "$pid"))" [ "$(outcome "$pid")" = error ]
    if box=$(visible_window "virtual pet Pimbolet"); then
        screenshot "error-${what// /-}" >/dev/null
        if [ -n "$stop" ]; then kill -TERM "$pid"; else press_key "$box" Return; fi
    fi
    await_exit "$pid" 5
    expect "$what: status 1 (${E2E_STATUS:-still running})" [ "$E2E_STATUS" = 1 ]
    # A start that hangs would hold the running mark: the next case starts afresh.
    kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    expect "$what: the settings file is untouched" [ "$(settings_snapshot)" = "$before" ]
}
# What the settings file is: its kind, mode and inode, and a plain file's contents.
settings_snapshot() {
    stat -c '%F %a %i' "$(settings_file)"
    [ ! -f "$(settings_file)" ] || md5sum <"$(settings_file)"
}

# A FIFO: opening it for reading would wait for a writer that never comes.
mkdir -p "$XDG_CONFIG_HOME/pimbolet"
mkfifo "$(settings_file)"
before=$(settings_snapshot)
start_pet
expect_failed_start fifo "$E2E_LAST_PID" "$before" stop

# A file this user may not read: root, too, once it gives up reading what it may not.
rm "$(settings_file)"
store_birth "2025-01-02 03:04:05"
chmod 000 "$(settings_file)"
before=$(settings_snapshot)
not_allowed=()
# shellcheck disable=SC2054 # one argument: the capabilities dropped
[ "$(id -u)" = 0 ] && not_allowed=(setpriv --bounding-set -dac_override,-dac_read_search)
e2e_spawn pimbolet-no-read "${not_allowed[@]}" "$PIMBOLET_BIN"
expect_failed_start "no permission" "$E2E_LAST_PID" "$before"
chmod 600 "$(settings_file)"

# No file descriptor left: the least number of them under which the pet born before walks in is
# found; with one fewer, its settings cannot be opened.
start_with_fd_limit() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    e2e_spawn "pimbolet-fd-$1" bash -c 'ulimit -n "$1" && exec "$0"' "$PIMBOLET_BIN" "$1"
}
walks_in_with() {
    local pid result
    start_with_fd_limit "$1"
    pid=$E2E_LAST_PID
    wait_until 10 settled "$pid"
    result=$(outcome "$pid")
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    log "with $1 file descriptors: ${result:-nothing after 10 s}"
    [ "$result" = walking ]
}
low=8 high=64
walks_in_with "$high" || die "the pet born before does not walk in with $high file descriptors"
while [ $((high - low)) -gt 1 ]; do
    mid=$(((low + high) / 2))
    if walks_in_with "$mid"; then high=$mid; else low=$mid; fi
done
before=$(settings_snapshot)
start_with_fd_limit $((high - 1))
pid=$E2E_LAST_PID
expect_failed_start "fd limit $((high - 1))" "$pid" "$before"
expect "fd limit: the message's letters were drawn (fonts were found)" \
    not grep -q "Fontconfig error" "$E2E_LOGS/pimbolet-fd-$((high - 1)).log"
e2e_finish
