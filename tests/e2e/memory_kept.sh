#!/usr/bin/env bash
# Windows that come and go keep nothing behind: 60 answers to "Pimbolet's Age?" from the tray
# menu, and 60 loads of the options dialog from "Options" each closed with its close box (which
# unloads it), each grow the pet's resident memory by less than 0.5 MB. A few of each come first,
# so that what Qt makes at its first use is not counted; the sound is off, so that no sound is
# taken into memory on the way.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

store_settings "birth=2025-01-02 03:04:05" "sound=0"
start_pet
pid=$E2E_LAST_PID
wait_for_window Pimbolet 10 >/dev/null || die "the pet did not appear"
wait_until 10 tray_icon "$pid" >/dev/null || die "no tray icon docked"

age_box() {
    local box
    tray_click "$pid" >/dev/null || return 1
    choose Down Return
    box=$(wait_for_window "virtual pet Pimbolet" 5) || return 1
    press_key "$box" Return
    wait_for_no_window "virtual pet Pimbolet" 3
}

options_closed() {
    local dialog
    tray_click "$pid" >/dev/null || return 1
    choose Down Down Down Return
    dialog=$(wait_for_window "Version 4.1 beta" 5) || return 1
    close_box "$dialog"
    wait_for_no_window "Version 4.1 beta" 3
}

# growth_over TIMES ACTION: does the action a few times, then TIMES times more; sets grown to the
# KiB the pet's resident memory grew by over those.
growth_over() {
    local times=$1 action=$2 before i
    for ((i = 1; i <= 10; i++)); do "$action" || return 1; done
    before=$(resident_kib "$pid")
    for ((i = 1; i <= times; i++)); do "$action" || return 1; done
    grown=$(($(resident_kib "$pid") - before))
    log "$action: $before KiB before, $((before + grown)) KiB after $times times"
}

for action in age_box options_closed; do
    growth_over 60 "$action" || die "$action did not go through"
    expect "60 times $action grow the resident memory by under 512 KiB ($grown KiB)" \
        [ "$grown" -lt 512 ]
done
expect "the pet goes on" process_running "$pid"
e2e_finish
