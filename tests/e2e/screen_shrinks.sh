#!/usr/bin/env bash
# A pet standing low on a 1280x800 screen that becomes 800x600 (a laptop undocked, a monitor
# given another resolution) would be wholly below the new bottom edge: it is seen again at once,
# put back at the bottom of the smaller screen, its window's bottom on the screen's.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
SCREEN_W=1280 SCREEN_H=800
e2e_start_desktop

start_later_run
pet=$E2E_PET
drag_pet_to "$pet" 300 660 || die "the pet could not be dragged"
read -r x y _ _ < <(window_geometry "$pet")
log "the pet stands at $x, $y"
if [ "$y" -lt 610 ] || [ "$y" -gt 700 ]; then die "the pet was not dragged low enough (y=$y)"; fi
screenshot low-on-1280x800 >/dev/null

changed=$(now_ms)
screen_mode 800x600 || die "the screen could not be made 800x600"
if wait_until 2 pet_picture_within "$pet" 0 0 800 600; then
    pass "the pet is seen on the 800x600 screen $(($(now_ms) - changed)) ms after the change"
else
    fail "the pet is not seen on the 800x600 screen: $(window_geometry "$pet")"
fi
read -r x y _ _ < <(window_geometry "$pet")
# 600 pixels less the window's 2646 twips; a walk that began meanwhile may have drifted it up.
expect "its window's bottom is on the screen's bottom (y=$y)" [ "$y" -le 424 -a "$y" -ge 400 ]
screenshot put-back-on-800x600 >/dev/null

e2e_finish
