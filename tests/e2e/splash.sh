#!/usr/bin/env bash
# At start-up the banner slides in from beyond the left edge along the top of the screen, rests
# in the top-left corner above ordinary windows, slides back out and is gone about 17 s after
# it appeared.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

store_birth "2020-01-02 03:04:05"
start_pet
banner=$(wait_for_window splash 10) || die "the banner did not appear"
appeared=$(now_ms)
read -r x y w h < <(window_geometry "$banner")
log "banner at x=$x y=$y, ${w}x${h}"
expect "the banner is 182x153 pixels (2730 x 2295 twips)" [ "${w}x${h}" = 182x153 ]
expect "it starts beyond the left edge, at the top (x=$x y=$y)" [ "$x" -lt 0 -a "$y" -eq 0 ]

track=$E2E_TMP/track
watch_position "$banner" 2 >"$track"
log "slide in (ms x y): $(awk '$2 != px { printf "%s;", $0; px = $2 }' "$track")"
arrived=$(awk '$2 == 0 { print $1; exit }' "$track")
expect "it is in the corner within 1.2 s (${arrived:-never} ms)" [ "${arrived:-9999}" -le 1200 ]
expect "it slides along the top edge, partly off the screen on the way" \
    awk '$3 != 0 { exit 1 } $2 < 0 && $2 > -182 { partly = 1 } END { exit !partly }' "$track"
expect "it has no taskbar entry" not in_client_list "$banner"

e2e_spawn xmessage xmessage -title e2e-other -geometry +20+20 "an ordinary window"
other=$(wait_for_window e2e-other 10) || die "xmessage did not appear"
expect "the banner stays above an ordinary window opened over it" wait_until 1.5 is_above "$banner" "$other"
sleep 1
shot=$(screenshot banner-at-rest)
convert "$shot" -crop 182x153+0+0 +repage "$E2E_ARTIFACTS/banner.png"
expect "it rests in the corner" e2e_at_place "$banner" 0 0

sleep "$(awk -v t=$(($(now_ms) - appeared)) 'BEGIN { s = 15.5 - t / 1000; print (s > 0 ? s : 0) }')"
expect "it still rests there 15.5 s after it appeared" e2e_at_place "$banner" 0 0
wait_for_no_window splash 5 || fail "the banner never went away"
gone=$(($(now_ms) - appeared))
expect "it is gone about 17 s after it appeared ($gone ms)" [ "$gone" -ge 16000 -a "$gone" -le 18500 ]
expect "the pet goes on" process_running "$E2E_LAST_PID"

e2e_finish
