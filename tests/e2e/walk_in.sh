#!/usr/bin/env bash
# A later run's pet walks in from the edge it appeared at: strides of 175 and 190 twips in turn,
# 365 twips (about 24 px) every 1.6 s, level, the window always on the display's pixel nearest
# to its place in twips (E2E_DISPLAY "2x": 2 x 2 pixels to each of the screen the program
# measures, and the strides twice as long).
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_later_run
pet=$E2E_PET
read -r x0 y0 _ _ < <(window_geometry "$pet")
width=$((PRIMARY_W * 15 / E2E_SCALE))
case $x0 in
$((PRIMARY_X + $(twips_px -2646)))) dir=1 left0=-2646 ;;
$((PRIMARY_X + PRIMARY_W))) dir=-1 left0=$width ;;
*) die "the pet window starts at x=$x0, not just outside an edge" ;;
esac
log "walking $([ "$dir" = 1 ] && echo right || echo left) from x=$x0"

# Where the window may stand: after each stride, at the nearest pixel (no place falls on a half).
places=$(awk -v l="$left0" -v d="$dir" -v s="$E2E_SCALE" -v o="$PRIMARY_X" 'BEGIN {
    for (i = 0; i <= 20; i++) {
        v = l * s / 15
        printf "%d\n", o + (v >= 0 ? int(v + 0.5) : -int(-v + 0.5))
        l += d * (i % 2 == 0 ? 175 : 190)
    } }')
track=$E2E_TMP/track
watch_position "$pet" 5.5 | awk '$2 != px || $3 != py { print; px = $2; py = $3 }' >"$track"
log "places taken (ms x y): $(tr '\n' ';' <"$track")"

expect "the pet walks level (y stays $y0)" awk -v y="$y0" '$3 != y { exit 1 }' "$track"
expect "every place it takes is the next stride's, in order" \
    awk 'NR == FNR { want[NR] = $1; n = NR; next }
         { while (i < n && want[i + 1] != $2) i++; if (i >= n) exit 1; i++ }' \
    <(echo "$places") "$track"
moves=$(($(wc -l <"$track") - 1))
expect "it takes 4 to 7 strides in 5.5 s ($moves)" [ "$moves" -ge 4 -a "$moves" -le 7 ]
if [ "$moves" -ge 3 ]; then
    # From the second stride on they come every 0.8 s, the two of a cycle making 365 twips.
    gap=$(awk 'NR == 2 { first = $1 } { last = $1; n = NR } END { print int((last - first) / (n - 2)) }' "$track")
    expect "the strides come every 0.8 s ($gap ms)" [ "$gap" -ge 650 -a "$gap" -le 950 ]
fi
shot=$(screenshot walked-in)
read -r x y w h < <(window_geometry "$pet")
l=$((x < 0 ? 0 : x))
r=$((x + w > SCREEN_W ? SCREEN_W : x + w))
if [ "$r" -gt "$l" ]; then
    expect "no key-colour pixel shows where the pet walks in" \
        [ "$(count_colour "$shot" "$((r - l))x$h+$l+$y" '#ff00ff')" = 0 ]
fi

e2e_finish
