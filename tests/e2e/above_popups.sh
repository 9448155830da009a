#!/usr/bin/env bash
# The pet keeps itself above windows that the window manager cannot stack, such as another
# program's override-redirect popup mapped or raised over it, within a second and without any
# input arriving meanwhile, also while it stands still: just hatched, it faces front for 8 s.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_pet
pet=$(wait_for_window Pimbolet 15) || die "the pet did not hatch"
sleep 1

open_popup 600 400 || die "the popup window did not appear"
popup=$E2E_POPUP
mapped=$(now_ms)
if wait_until 1.5 is_above "$pet" "$popup"; then
    pass "the pet is above a popup mapped after it, after $(($(now_ms) - mapped)) ms"
else
    fail "the pet stays below a popup mapped after it"
fi

for round in 1 2; do
    xdotool windowraise "$popup"
    raised=$(now_ms)
    expect "the popup is raised over the pet (round $round)" is_above "$popup" "$pet"
    if wait_until 1.5 is_above "$pet" "$popup"; then
        pass "the pet is back above the raised popup after $(($(now_ms) - raised)) ms"
    else
        fail "the pet stays below the raised popup (round $round)"
    fi
done

e2e_finish
