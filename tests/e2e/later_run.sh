#!/usr/bin/env bash
# A pet that was born before appears just outside the left or the right edge of the primary
# monitor at a random height, in a window shaped like its sprite, above ordinary windows and
# without a taskbar entry. On any display (E2E_DISPLAY): the figures in twips hold on the screen
# the program measures, whatever the display's pixels.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_later_run
pet_pid=$E2E_LAST_PID
pet=$E2E_PET
read -r x y w h < <(window_geometry "$pet")
seen_at=$(now_ms)
log "pet window at x=$x y=$y, ${w}x${h}"

size=$(px 176)
expect "the pet window is ${size}x${size} pixels (2646 twips at 96 dpi)" [ "${w}x${h}" = "${size}x$size" ]

# The primary monitor's height in twips, and the places just outside its edges.
height=$((PRIMARY_H * 15 / E2E_SCALE))
outside_left=$((PRIMARY_X + $(twips_px -2646)))
outside_right=$((PRIMARY_X + PRIMARY_W))
# Once the pet walks it makes its first stride (12 px) a second after it appears: a window
# seen a moment late may have taken that one step in from its edge.
stride=$(px 24)
if [ "$x" -ge "$outside_left" ] && [ "$x" -le $((outside_left + stride)) ]; then
    side=left
    walk_cells="9 10 11 12 13 14 15 16 17 27"
    # Top lies in [2295, 2295 + height - 2 x 2646) twips.
    low=$((PRIMARY_Y + $(twips_px 2295))) high=$((PRIMARY_Y + $(twips_px $((2295 + height - 5292)))))
elif [ "$x" -ge $((outside_right - stride)) ] && [ "$x" -le "$outside_right" ]; then
    side=right
    walk_cells="18 19 20 21 22 23 24 25 26 31"
    # Top lies in [0, height - 2646) twips.
    low=$PRIMARY_Y high=$((PRIMARY_Y + $(twips_px $((height - 2646)))))
else
    side=none
    fail "the pet window starts at x=$x, not just outside the left ($outside_left) or right ($outside_right) edge"
fi
if [ "$side" != none ]; then
    expect "entering from the $side, its top is between $low and $high px" \
        [ "$y" -ge "$low" -a "$y" -le "$high" ]
    expect "the pet window starts wholly outside the $side edge (x=$x)" \
        [ "$x" -eq "$outside_left" -o "$x" -eq "$outside_right" ]
fi

# The outline is that of the sprite shown: cell 1 at first, a walking cell once the pet walks.
shape=$(shape_extents "$pet")
allowed=$(for c in 1 ${walk_cells:-}; do scaled_box "$(sprite_cell_bbox "$c")"; done | sort -u | tr '\n' ' ')
expect "the window's shape ($shape) is the outline of the sprite shown ($allowed)" \
    grep -qw -- "$shape" <<<"$allowed"

expect "the pet has no taskbar entry (not in _NET_CLIENT_LIST)" not in_client_list "$pet"

if wait_until 5 tray_icon "$pet_pid"; then
    icon=$(tray_icon "$pet_pid")
    panel=$(xdotool search --class tint2 | head -1)
    expect "the tray icon docks in the panel's tray" [ "$(toplevel_of "$icon")" = "$(toplevel_of "$panel")" ]
else
    fail "no tray icon comes up"
fi

# An ordinary window opened, and later activated, does not stay above the pet for long.
e2e_spawn xmessage xmessage -title e2e-other -center "an ordinary window"
other=$(wait_for_window e2e-other 10) || die "xmessage did not appear"
opened=$(now_ms)
if wait_until 1.5 is_above "$pet" "$other"; then
    pass "the pet is above a newly opened window after $(($(now_ms) - opened)) ms"
else
    fail "the pet stays below a newly opened window"
fi
xdotool windowactivate --sync "$other" >/dev/null 2>&1
activated=$(now_ms)
if wait_until 1.5 is_above "$pet" "$other"; then
    pass "the pet is above an activated window after $(($(now_ms) - activated)) ms"
else
    fail "the pet stays below an activated window"
fi
state=$(wm_state "$pet")
if [ -n "$state" ]; then
    expect "the pet's _NET_WM_STATE holds _NET_WM_STATE_ABOVE" grep -qx _NET_WM_STATE_ABOVE <<<"$state"
fi

# Left for the lead to look at: the desktop a few seconds into the walk.
sleep "$(awk -v t=$(($(now_ms) - seen_at)) 'BEGIN { s = 4 - t / 1000; print (s > 0 ? s : 0) }')"
shot=$(screenshot walking-in)
log "pet window after 4 s: $(window_geometry "$pet")"
expect "no key-colour pixel shows anywhere on the screen" \
    [ "$(count_colour "$shot" "${SCREEN_W}x$SCREEN_H+0+0" '#ff00ff')" = 0 ]
expect "the pet is still running" process_running "$pet_pid"

e2e_finish
