#!/usr/bin/env bash
# A stored birth that is no date and time, however long, ends the start with the error message
# (a box of an ordinary size, the text cut short), status 1 and the settings file untouched:
# no crash, whatever the file holds.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# The error box, or the program's end should it crash first.
box_or_end() { visible_window "virtual pet Pimbolet" >/dev/null || not process_running "$1"; }

digits=$(printf '%*s' 40000 '' | tr ' ' 9)
spaces=$(printf '%*s' 100000 '')
for case in "40,000 digits:$digits" "10,000 digits:${digits:0:10000}" \
    "a date and 100,000 spaces:2020-01-02 03:04:05$spaces"; do
    what=${case%%:*}
    store_birth "${case#*:}"
    before=$(md5sum <"$(settings_file)")
    start_pet
    pid=$E2E_LAST_PID
    wait_until 10 box_or_end "$pid"
    if box=$(visible_window "virtual pet Pimbolet"); then
        read -r _ _ bw bh < <(window_geometry "$box")
        expect "$what: the error box fits the screen (${bw}x${bh})" \
            [ "$bw" -le "$SCREEN_W" -a "$bh" -le "$SCREEN_H" ]
        screenshot "error-${what%% *}" >/dev/null
        press_key "$box" Return
    else
        fail "$what: no error box"
    fi
    await_exit "$pid" 5
    expect "$what: the program ends with status 1 (${E2E_STATUS:-still running})" \
        [ "$E2E_STATUS" = 1 ]
    expect "$what: the settings file is untouched" [ "$(md5sum <"$(settings_file)")" = "$before" ]
done
e2e_finish
