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

# expect_refused_copy WHAT: the copy just started (E2E_LAST_PID) shows "KOZ - Already Running",
# is answered and ends, its box gone.
expect_refused_copy() {
    local copy=$E2E_LAST_PID box
    if box=$(wait_for_window "KOZ - Already Running" 10); then
        pass "$1 is refused"
        press_key "$box" Return
    else
        fail "$1 is refused"
    fi
    await_exit "$copy" 5
    expect "it ends (${E2E_STATUS:-still running})" [ -n "$E2E_STATUS" ]
    wait_for_no_window "KOZ - Already Running" 3
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

# pet_picture_within ID X Y W H: the pet's picture, the top-left 100 x 100 pixels of its window,
# lies wholly within that box of the display (a monitor, say).
pet_picture_within() {
    local x y size
    size=$(px 100)
    read -r x y _ _ < <(window_geometry "$1") || return 1
    [ "$x" -ge "$2" ] && [ "$y" -ge "$3" ] && [ $((x + size)) -le $(($2 + $4)) ] &&
        [ $((y + size)) -le $(($3 + $5)) ]
}

# drag_pet_to ID X Y: takes the pet by its body, once that is wholly on the screen, and drags it
# until its window's top-left corner is at about X, Y (within a few pixels, the pet walking on).
drag_pet_to() {
    local cx cy wx wy
    read -r cx cy < <(awake_pet_pixel) || return 1
    wait_until 20 pet_point "$1" "$cx" "$cy" >/dev/null || return 1
    read -r wx wy _ _ < <(window_geometry "$1") || return 1
    # The first of the steps takes hold and the pet follows the others: the pointer goes a step
    # further than the pet is to go.
    drag $((wx + cx)) $((wy + cy)) $((wx + cx + ($2 - wx) * 20 / 19)) \
        $((wy + cy + ($3 - wy) * 20 / 19)) 20
}
