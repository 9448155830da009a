#!/usr/bin/env bash
# Windows that come and go keep nothing behind. One case a run, named by the argument:
#   age_box         60 answers to "Pimbolet's Age?" from the tray menu,
#   options_closed  60 loads of the options dialog from "Options", each closed with its close box
#                   (which unloads it),
# grow the pet's resident memory by less than 0.5 MB. Ten of the same come first, so that what Qt
# makes at its first use is not counted; the sound is off, so that no sound is taken into memory
# on the way.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"

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

action=${1:-}
case $action in
age_box | options_closed) ;;
*) die "usage: memory_kept.sh age_box|options_closed" ;;
esac

e2e_start_desktop
store_settings "birth=2025-01-02 03:04:05" "sound=0"
start_pet
pid=$E2E_LAST_PID
wait_for_window Pimbolet 10 >/dev/null || die "the pet did not appear"
wait_until 10 tray_icon "$pid" >/dev/null || die "no tray icon docked"

for ((i = 1; i <= 10; i++)); do "$action" || die "$action did not go through (warm-up $i)"; done
before=$(memory_kib "$pid" VmRSS)
for ((i = 1; i <= 60; i++)); do "$action" || die "$action did not go through ($i)"; done
after=$(memory_kib "$pid" VmRSS)
log "$action: $before KiB before, $after KiB after 60 times"
expect "60 times $action grow the resident memory by under 512 KiB ($((after - before)) KiB)" \
    [ $((after - before)) -lt 512 ]
expect "the pet goes on" process_running "$pid"
e2e_finish
