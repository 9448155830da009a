#!/usr/bin/env bash
# The pet menu opens where the right button is let go over the pet, above it. "Tickle" makes the
# walking pet laugh, heard on the sound server and seen in its picture; "Program", "About" opens
# the About box, whose address stays plain text under the pointer (the build names no web site),
# whose disclaimer folds out and back, and "OK" hides it.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_later_run
pid=$E2E_LAST_PID
pet=$E2E_PET
read -r cx cy < <(awake_pet_pixel) || die "no pixel common to the pet's pictures"

# A walking pet makes no remarks: whatever is heard now is the laugh.
start_recording "$E2E_ARTIFACTS/tickle.wav"
before=$(stacking_top_first)
click_pet "$pet" "$cx" "$cy" 3 || die "the walking pet never came far enough onto the screen"
menu=$(popup_since "$before") || die "no menu opened on the right button"
read -r mx my _ _ < <(window_geometry "$menu")
point=$(pet_point "$pet" "$cx" "$cy")
read -r _ _ mw _ < <(window_geometry "$menu")
# Its left edge is at the pointer, unless that would take it past the screen's right edge.
expect "the pet menu opens where the button was let go ($mx,$my; pointer $point)" \
    [ "$mx $my" = "$point" -o "$((mx + mw)) $my" = "$SCREEN_W ${point#* }" ]
expect "the pet menu is above the pet" is_above "$menu" "$pet"
screenshot pet-menu >/dev/null
choose Down Return
sleep 0.4
expect "the pet shows its tickled picture" shows_cell "$(screenshot tickled)" "$pet" 28 32
sleep 1.4
stop_recording
expect "the laugh is heard" is_loud "$E2E_ARTIFACTS/tickle.wav" 0.05
length=$(first_sound_seconds "$E2E_ARTIFACTS/tickle.wav")
expect "the first sound is the whole laugh, not a remark (${length:-no} s)" \
    awk -v l="${length:-0}" 'BEGIN { exit !(l > 0.9 && l < 1.3) }'

before=$(stacking_top_first)
click_pet "$pet" "$cx" "$cy" 3 || die "the pet cannot be clicked again"
popup_since "$before" >/dev/null || die "no menu opened the second time"
choose Down Down Down Right Return
about=$(wait_for_window "About KOZ" 5) || die "the About box did not open"
read -r _ _ aw ah < <(window_geometry "$about")
expect "the About box is folded, 312 x 77" [ "$aw x $ah" = "312 x 77" ]
screenshot about >/dev/null
# The build names no web site: its address is text, which the pointer over it leaves black.
point=$(client_point "$about" 1600 480) || die "the About box has no place"
move_pointer "${point% *}" "${point#* }"
sleep 0.3
shot=$(screenshot about-address) || die "no screenshot"
read -r ax ay _ _ < <(window_geometry "$about")
red=$(convert "$shot" -crop "209x17+$((ax + 96))+$((ay + 24))" +repage \
    -fx 'r > 0.6 && g < 0.3 && b < 0.3' -format '%[fx:round(mean*w*h)]' info:)
expect "the address does not turn red under the pointer (${red:-?} red pixels)" [ "${red:-9}" -lt 3 ]
click_twips "$about" 3840 900
expect "the disclaimer folds out by 100 pixels" \
    wait_until 2 e2e_at_size "$about" 312 177
screenshot about-disclaimer >/dev/null
click_twips "$about" 3840 900
expect "and back" wait_until 2 e2e_at_size "$about" 312 77
click_twips "$about" 2350 900
expect "OK hides the About box" wait_for_no_window "About KOZ" 3
expect "the pet lives on" process_running "$pid"
e2e_finish
