#!/usr/bin/env bash
# The topmost pet stays above the window manager's windows but never above another program's
# unmanaged ones: a full-screen window such as a screen locker's, mapped after it, stays above
# it for as long as it is there, without having to raise itself; a popup too. An ordinary window
# raised over the pet is put back below it at once.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_later_run
pet=$E2E_PET
sleep 1

open_popup 0 0 || die "the full-screen window did not appear"
locker=$E2E_POPUP
xdotool windowsize "$locker" "$SCREEN_W" "$SCREEN_H"
covered=0
for _ in $(seq 1 20); do
    is_above "$locker" "$pet" && covered=$((covered + 1))
    sleep 0.5
done
expect "a full-screen unmanaged window stays above the pet for 10 s ($covered of 20 looks)" \
    [ "$covered" -eq 20 ]
screenshot locked >/dev/null
kill "$(tail -n 1 "$E2E_PIDFILE")"
wait_until 5 not window_viewable "$locker"

open_ordinary_window 500 20 || die "no ordinary window"
first=$E2E_OTHER
expect "an ordinary window opened over the pet goes below it" \
    wait_until 1.5 is_above "$pet" "$first"
open_ordinary_window 700 20 || die "no second ordinary window"
xdotool windowactivate --sync "$first" >/dev/null 2>&1
expect "the first, raised again, is put back below the pet" \
    wait_until 1.5 is_above "$pet" "$first"
sleep 1
expect "and stays there" is_above "$pet" "$first"
expect "above the second too" is_above "$pet" "$E2E_OTHER"
e2e_finish
