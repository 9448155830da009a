#!/usr/bin/env bash
# A newer version on the maker's web site: "New Version!" asks before any pet or egg shows. No
# lets the pet start and the update file is gone; Yes opens the download page in the user's
# browser and ends the program, so a first run stays a first run.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

private_program_copy
update_file '4.2 beta\r\nBetter walking\r\nNew sounds\r\n'
start_web_site "$E2E_TMP/site"
use_stand_in_browser

# ask: starts the pet and waits for the question; its box's id is in E2E_BOX.
ask() {
    start_pet "$E2E_PROGRAM"
    E2E_BOX=$(wait_for_window "New Version!" 10) || die "no \"New Version!\" message"
    pass "\"New Version!\" asks"
    expect "no pet or egg shows while it asks" not visible_window Pimbolet
    expect "no egg either" not visible_window Egg
}

store_birth "2020-01-02 03:04:05"
ask
pet_pid=$E2E_LAST_PID
screenshot new-version >/dev/null
expect "the check loaded libcurl" library_mapped "$pet_pid" libcurl
press_key "$E2E_BOX" Escape
expect "after No the pet starts" wait_for_window Pimbolet 10
expect "and the update file is gone" not test -e "$E2E_UPDATE_FILE"
expect "no page was opened" not test -e "$E2E_OPENED"
kill "$pet_pid"
wait_for_exit "$pet_pid" 5 || die "the pet did not end"

rm -f "$(settings_file)"
ask
pet_pid=$E2E_LAST_PID
press_key "$E2E_BOX" Return
expect "after Yes the program ends" wait_for_exit "$pet_pid" 5
expect "the download page was opened" \
    wait_until 5 grep -qx "http://127.0.0.1:$E2E_WEB_PORT/koz/" "$E2E_OPENED"
expect "no pet or egg ever showed" not visible_window Pimbolet
expect "the birth date was not stored: the next start is a first run again" \
    not grep -qs '^birth=' "$(settings_file)"
expect "the update file is left for the next start" test -e "$E2E_UPDATE_FILE"

e2e_finish
