#!/usr/bin/env bash
# On its first run the pet hatches: an egg lies in the middle of the screen (the primary
# monitor), the birth date is stored at once, at 10 s the pet appears where the egg lay and the
# egg turns into the broken shell, and at 20 s the shell is gone while the pet stays. On any
# display (E2E_DISPLAY), in the display's pixels nearest to the places in twips.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_pet
pet_pid=$E2E_LAST_PID
egg=$(wait_for_window Egg 10) || die "the egg window did not appear"
loaded=$(now_ms)
read -r ex ey ew eh < <(window_geometry "$egg")
log "egg window at x=$ex y=$ey, ${ew}x${eh}"

size=$(px 176)
expect "the egg window is ${size}x$size pixels" [ "${ew}x${eh}" = "${size}x$size" ]
# Centred at the size it takes at load (2646 twips), in twips of the primary monitor.
left=$(awk -v w="$PRIMARY_W" -v s="$E2E_SCALE" 'BEGIN { print (w / s * 15 - 2646) / 2 }')
top=$(awk -v h="$PRIMARY_H" -v s="$E2E_SCALE" 'BEGIN { print (h / s * 15 - 2646) / 2 }')
cx=$((PRIMARY_X + $(twips_px "$left"))) cy=$((PRIMARY_Y + $(twips_px "$top")))
expect "the egg lies in the middle of the screen, at $cx, $cy (x=$ex y=$ey)" \
    [ "$ex" -eq "$cx" -a "$ey" -eq "$cy" ]
expect "the egg window is shaped like the egg" \
    [ "$(shape_extents "$egg")" = "$(scaled_box "$(sprite_cell_bbox 5)")" ]
expect "the egg has no taskbar entry" not in_client_list "$egg"
expect "the pet window is not shown yet" not visible_window Pimbolet

birth=$(sed -n 's/^birth=//p' "$(settings_file)" 2>/dev/null)
expect "the birth date is stored at once (\"$birth\")" \
    grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' <<<"$birth"
if [ -n "$birth" ] && stored=$(date -d "$birth" +%s 2>/dev/null); then
    expect "the stored birth date is the time of this start" [ $((stored - $(date +%s))) -le 2 -a \
        $(($(date +%s) - stored)) -le 30 ]
fi
screenshot egg >/dev/null

pet=$(wait_for_window Pimbolet 15) || die "the pet did not hatch"
hatched=$(now_ms)
read -r px py pw ph < <(window_geometry "$pet")
log "pet window at x=$px y=$py, ${pw}x${ph}, $((hatched - loaded)) ms after the egg"
expect "the pet hatches about 10 s after the egg appears ($((hatched - loaded)) ms)" \
    [ $((hatched - loaded)) -ge 8500 -a $((hatched - loaded)) -le 12500 ]
# 100 twips left of the egg's corner and 150 below it: 7 and 10 px at 96 dpi.
hx=$((PRIMARY_X + $(twips_px "$(awk -v l="$left" 'BEGIN { print l - 100 }')")))
hy=$((PRIMARY_Y + $(twips_px "$(awk -v t="$top" 'BEGIN { print t + 150 }')")))
expect "the pet stands where the egg lay, at $hx, $hy (x=$px y=$py)" \
    [ "$px" -eq "$hx" -a "$py" -eq "$hy" ]
expect "the pet window is ${size}x$size pixels" [ "${pw}x${ph}" = "${size}x$size" ]
expect "the pet has no taskbar entry" not in_client_list "$pet"
shell=$(scaled_box "$(sprite_cell_bbox 6)")
expect "the egg turns into the broken shell" wait_until 1 has_shape "$egg" "$shell"
expect "the shell stays where the egg lay" [ "$(window_geometry "$egg")" = "$ex $ey $ew $eh" ]
expect "the pet is above the shell" is_above "$pet" "$egg"
shot=$(screenshot hatched)
cp "$shot" "$E2E_ARTIFACTS/desktop-with-pet.png"
expect "no key-colour pixel shows around the pet and the shell" \
    [ "$(count_colour "$shot" "$(px 190)x$(px 190)+$hx+$ey" '#ff00ff')" = 0 ]

wait_for_no_window Egg 15 || die "the shell was never taken away"
gone=$(now_ms)
expect "the shell goes about 20 s after the egg appeared ($((gone - loaded)) ms)" \
    [ $((gone - loaded)) -ge 18500 -a $((gone - loaded)) -le 22500 ]
expect "the pet stays" window_viewable "$pet"
expect "the pet is still running" process_running "$pet_pid"
screenshot shell-gone >/dev/null

e2e_finish
