#!/usr/bin/env bash
# Two monitors of different heights leave a part of the desktop that no monitor shows, below
# the primary one: a pet dragged there is out of sight. "Show Pimbolet" in the tray menu puts it
# back into the primary monitor, at its bottom edge, where it is seen.
export E2E_DISPLAY=two-monitors
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop
only_set_monitors || die "the display's output still counts as a monitor"

start_later_run
pid=$E2E_LAST_PID
pet=$E2E_PET
below=$((PRIMARY_Y + PRIMARY_H))
drag_pet_to "$pet" $((PRIMARY_X + 400)) $((below + 20)) || die "the pet could not be dragged"
read -r x y _ _ < <(window_geometry "$pet")
log "the pet stands at $x, $y"
if [ "$x" -lt "$PRIMARY_X" ] || [ "$y" -lt "$below" ]; then
    die "the pet was not dragged below the primary monitor (at $x, $y)"
fi
sleep 0.5
expect "no monitor shows the pet after a while" \
    not pet_picture_within "$pet" "$PRIMARY_X" "$PRIMARY_Y" "$PRIMARY_W" "$PRIMARY_H"
screenshot out-of-sight >/dev/null

tray_click "$pid" >/dev/null || die "the tray menu did not open"
choose Down Down Return
if wait_until 2 pet_picture_within "$pet" "$PRIMARY_X" "$PRIMARY_Y" "$PRIMARY_W" "$PRIMARY_H"; then
    pass "\"Show Pimbolet\" puts the pet into the primary monitor"
else
    fail "\"Show Pimbolet\" leaves the pet out of sight: $(window_geometry "$pet")"
fi
read -r _ y _ _ < <(window_geometry "$pet")
expect "its window's bottom is on the primary monitor's (y=$y)" \
    [ "$y" -le $((below - 176)) -a "$y" -ge $((below - 200)) ]
screenshot shown >/dev/null

e2e_finish
