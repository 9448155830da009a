#!/usr/bin/env bash
# The egg can be dragged with the left button, and the pet hatches beside the egg where it lies
# at that moment; the shell dragged afterwards moves alone, the pet stays where it hatched.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_pet
egg=$(wait_for_window Egg 10) || die "the egg window did not appear"
read -r ex ey _ _ < <(window_geometry "$egg")

# Grab the egg by a pixel of its drawing: the see-through rest of the window is not the egg's.
read -r gx gy < <(sprite_cell_pixels 5 | awk '{ n++; x[n] = $1; y[n] = $2 } END {
    print x[int((n + 1) / 2)], y[int((n + 1) / 2)] }')
# Ten steps of (15, -10): the first move after the press only takes hold of the egg, which
# follows the other nine.
drag $((ex + gx)) $((ey + gy)) $((ex + gx + 150)) $((ey + gy - 100)) 10
wait_for_place "$egg" $((ex + 135)) $((ey - 90))
read -r mx my _ _ < <(window_geometry "$egg")
expect "the egg follows the pointer from its second move on (moved by $((mx - ex)), $((my - ey)))" \
    [ "$mx" -eq $((ex + 135)) -a "$my" -eq $((ey - 90)) ]
screenshot egg-dragged >/dev/null

pet=$(wait_for_window Pimbolet 15) || die "the pet did not hatch"
read -r px py _ _ < <(window_geometry "$pet")
expect "the pet hatches beside the moved egg (x=$px y=$py)" \
    [ "$px" -eq $((mx - 7)) -a "$py" -eq $((my + 10)) ]

# A pixel of the shell that none of the pet's front poses covers, in the shell window.
read -r sx sy < <(
    for c in 0 1 2 3 4; do sprite_cell_bbox "$c"; done | tr 'x+' '  ' |
        awk 'NR == FNR { l[NR] = $3; t[NR] = $4; r[NR] = $3 + $1 - 1; b[NR] = $4 + $2 - 1; n = NR; next }
             { x = $1 + 7; y = $2 - 10; free = 1
               for (i = 1; i <= n; i++) if (x >= l[i] && x <= r[i] && y >= t[i] && y <= b[i]) free = 0
               if (free) { n2++; fx[n2] = $1; fy[n2] = $2 } }
             END { if (n2) print fx[int((n2 + 1) / 2)], fy[int((n2 + 1) / 2)] }' - <(sprite_cell_pixels 6))
if [ -z "${sx:-}" ]; then
    log "every pixel of the shell lies under the pet: the shell drag is not tried"
else
    # Rightwards: a first move onto the window's left edge would take hold at X = 0, which
    # counts as not holding.
    drag $((mx + sx)) $((my + sy)) $((mx + sx + 120)) $((my + sy + 40)) 10
    wait_for_place "$egg" $((mx + 108)) $((my + 36))
    read -r qx qy _ _ < <(window_geometry "$egg")
    expect "the shell follows the pointer from its second move on (moved by $((qx - mx)), $((qy - my)))" \
        [ "$qx" -eq $((mx + 108)) -a "$qy" -eq $((my + 36)) ]
    expect "the pet stays where it hatched" [ "$(window_geometry "$pet")" = "$px $py 176 176" ]
    screenshot shell-dragged >/dev/null
fi

e2e_finish
