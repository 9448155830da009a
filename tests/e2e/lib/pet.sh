# shellcheck shell=bash
# The pet: its settings, its start and its sprites.

settings_file() { echo "$XDG_CONFIG_HOME/pimbolet/virtual pet Pimbolet.ini"; }

# store_birth "yyyy-mm-dd hh:mm:ss": the pet has been born before, so it starts as a later run.
store_birth() {
    mkdir -p "$XDG_CONFIG_HOME/pimbolet"
    printf '[Settings]\nbirth=%s\n' "$1" >"$(settings_file)"
}

# start_pet [PROGRAM]: starts the pet (or another copy of it); its process id is in E2E_LAST_PID.
start_pet() {
    local program=${1:-$PIMBOLET_BIN}
    e2e_spawn "pimbolet-$(($(wc -l <"$E2E_PIDFILE") + 1))" "$program"
    log "started $(basename "$program"), pid $E2E_LAST_PID"
}

# setting KEY: the stored value of a setting ("" when absent).
setting() { sed -n "s/^$1=//p" "$(settings_file)" 2>/dev/null; }

# store_settings KEY=VALUE...: the settings file holds these (and nothing else).
store_settings() {
    mkdir -p "$XDG_CONFIG_HOME/pimbolet"
    printf '[Settings]\n%s\n' "$@" >"$(settings_file)"
}

# start_pet_born_before: a pet born before starts (its window not yet waited for); its process id
# is in E2E_LAST_PID. Not to be called in $(...).
start_pet_born_before() {
    store_birth "2025-01-02 03:04:05"
    start_pet
}

# start_later_run: a pet born before starts and walks in; its process id is in E2E_LAST_PID and
# its window in E2E_PET. Not to be called in $(...).
start_later_run() {
    start_pet_born_before
    # shellcheck disable=SC2034 # handed to the test
    E2E_PET=$(wait_for_window Pimbolet 10) || die "the pet did not appear"
}
