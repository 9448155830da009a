#!/usr/bin/env bash
# Another program asks the pet's windows to close, as a window manager's close box or a task
# tool does (WM_DELETE_WINDOW, sent to the window itself): the pet has no close box, so it stays
# on the screen and walks on, and its tray icon stays in the tray.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
: "${E2E_SEND_CLOSE_REQUEST:?E2E_SEND_CLOSE_REQUEST must name the close-request sender}"
e2e_start_desktop

# moves ID: the window stands elsewhere 2 s later.
moves() {
    local before
    before=$(window_geometry "$1") || return 1
    sleep 2
    [ "$(window_geometry "$1")" != "$before" ]
}

start_later_run
pet_pid=$E2E_LAST_PID
wait_until 10 tray_icon "$pet_pid" >/dev/null || die "the tray icon did not come"
icon=$(tray_icon "$pet_pid")

"$E2E_SEND_CLOSE_REQUEST" "$E2E_PET" || die "the close request could not be sent to the pet"
"$E2E_SEND_CLOSE_REQUEST" "$icon" || die "the close request could not be sent to the tray icon"
sleep 1
expect "the pet is still on the screen" window_viewable "$E2E_PET"
expect "and walks on" moves "$E2E_PET"
expect "its tray icon is still in the tray" window_viewable "$icon"
expect "the program runs on" process_running "$pet_pid"
screenshot after-close-requests >/dev/null

e2e_finish
