#!/usr/bin/env bash
# A pet that was born before appears just outside the left or the right screen edge at a
# random height, in a window shaped like its sprite, above ordinary windows and without a
# taskbar entry.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

store_birth "2020-01-02 03:04:05"
start_pet
pet_pid=$E2E_LAST_PID
pet=$(wait_for_window Pimbolet 10) || die "the pet window did not appear"
read -r x y w h < <(window_geometry "$pet")
seen_at=$(now_ms)
log "pet window at x=$x y=$y, ${w}x${h}"

expect "the pet window is 176x176 pixels (2646 twips at 96 dpi)" [ "${w}x${h}" = 176x176 ]

# Once the pet walks it makes its first stride (12 px) a second after it appears: a window
# seen a moment late may have taken that one step in from its edge.
if [ "$x" -le -152 ] && [ "$x" -ge -176 ]; then
    side=left
    walk_cells="9 10 11 12 13 14 15 16 17 27"
    # Top lies in [2295, 2295 + 15360 - 2 x 2646) twips.
    expect "entering from the left, its top is between 153 and 824 px" \
        [ "$y" -ge 153 -a "$y" -le 824 ]
elif [ "$x" -ge 1256 ] && [ "$x" -le 1280 ]; then
    side=right
    walk_cells="18 19 20 21 22 23 24 25 26 31"
    # Top lies in [0, 15360 - 2646) twips.
    expect "entering from the right, its top is between 0 and 848 px" \
        [ "$y" -ge 0 -a "$y" -le 848 ]
else
    side=none
    fail "the pet window starts at x=$x, not just outside the left (-176) or right (1280) edge"
fi
if [ "$side" != none ]; then
    expect "the pet window starts wholly outside the $side edge (x=$x)" \
        [ "$x" -eq -176 -o "$x" -eq 1280 ]
fi

# The outline is that of the sprite shown: cell 1 at first, a walking cell once the pet walks.
shape=$(shape_extents "$pet")
allowed=$(for c in 1 ${walk_cells:-}; do sprite_cell_bbox "$c"; done | sort -u | tr '\n' ' ')
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
screenshot walking-in >/dev/null
log "pet window after 4 s: $(window_geometry "$pet")"
expect "the pet is still running" process_running "$pet_pid"

e2e_finish
