#!/usr/bin/env bash
# At start-up the banner slides in from beyond the left edge along the top of the screen (the
# primary monitor), rests in the top-left corner above ordinary windows, slides back out and is
# gone about 17 s after it appeared. On any display (E2E_DISPLAY), its artwork is scaled as every
# other picture of the program is: each pixel a block of display pixels of exactly its colour.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# shows_title_art FILE: the banner as seen in FILE shows the title artwork pixel for pixel, each
# pixel as E2E_SCALE x E2E_SCALE display pixels; the version written over its lower right corner
# and the row that the credit's label shares with it are left out.
shows_title_art() {
    local box mask differ
    box=$(px 182)x$(px 120)+0+0
    mask="rectangle $(px 120),$(px 104) $(($(px 182) - 1)),$(($(px 120) - 1))"
    convert "$E2E_SOURCE_DIR/resources/pictures/title.png" -sample "$((E2E_SCALE * 100))%" \
        -crop "$box" +repage -fill black -draw "$mask" "$E2E_TMP/title-drawn.png"
    convert "$1" -crop "$box" +repage -fill black -draw "$mask" "$E2E_TMP/title-seen.png"
    differ=$(compare -metric AE "$E2E_TMP/title-drawn.png" "$E2E_TMP/title-seen.png" null: 2>&1)
    [ "${differ%% *}" = 0 ]
}

start_pet_born_before
banner=$(wait_for_window splash 10) || die "the banner did not appear"
appeared=$(now_ms)
read -r x y w h < <(window_geometry "$banner")
log "banner at x=$x y=$y, ${w}x${h}"
size=$(px 182)x$(px 153)
expect "the banner is $size pixels (2730 x 2295 twips)" [ "${w}x${h}" = "$size" ]
expect "it starts beyond the left edge, at the top (x=$x y=$y)" \
    [ "$x" -lt "$PRIMARY_X" -a "$y" -eq "$PRIMARY_Y" ]

track=$E2E_TMP/track
watch_position "$banner" 2 >"$track"
log "slide in (ms x y): $(awk '$2 != px { printf "%s;", $0; px = $2 }' "$track")"
arrived=$(awk -v x="$PRIMARY_X" '$2 == x { print $1; exit }' "$track")
expect "it is in the corner within 1.2 s (${arrived:-never} ms)" [ "${arrived:-9999}" -le 1200 ]
expect "it slides along the top edge, partly off the screen on the way" \
    awk -v x="$PRIMARY_X" -v y="$PRIMARY_Y" -v w="$w" \
        '$3 != y { exit 1 } $2 < x && $2 > x - w { partly = 1 } END { exit !partly }' "$track"
expect "it has no taskbar entry" not in_client_list "$banner"

e2e_spawn xmessage xmessage -title e2e-other -geometry "+$((PRIMARY_X + 20))+$((PRIMARY_Y + 20))" \
    "an ordinary window"
other=$(wait_for_window e2e-other 10) || die "xmessage did not appear"
expect "the banner stays above an ordinary window opened over it" wait_until 1.5 is_above "$banner" "$other"
sleep 1
shot=$(screenshot banner-at-rest)
convert "$shot" -crop "$size+$PRIMARY_X+$PRIMARY_Y" +repage "$E2E_ARTIFACTS/banner.png"
expect "its artwork is shown crisp, each pixel $E2E_SCALE x $E2E_SCALE display pixels" \
    shows_title_art "$E2E_ARTIFACTS/banner.png"
expect "it rests in the corner" e2e_at_place "$banner" "$PRIMARY_X" "$PRIMARY_Y"

sleep "$(awk -v t=$(($(now_ms) - appeared)) 'BEGIN { s = 15.5 - t / 1000; print (s > 0 ? s : 0) }')"
expect "it still rests there 15.5 s after it appeared" \
    e2e_at_place "$banner" "$PRIMARY_X" "$PRIMARY_Y"
wait_for_no_window splash 5 || fail "the banner never went away"
gone=$(($(now_ms) - appeared))
expect "it is gone about 17 s after it appeared ($gone ms)" [ "$gone" -ge 16000 -a "$gone" -le 18500 ]
expect "the pet goes on" process_running "$E2E_LAST_PID"

e2e_finish
