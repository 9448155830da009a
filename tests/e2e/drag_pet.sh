#!/usr/bin/env bash
# The pet follows the mouse: dragged with the left button by 100 pixels right and 50 down, the
# spot where it was taken hold of (at the first move) stays under the pointer. The newly hatched
# pet stands facing the user, so nothing but the drag moves it. A fast drag does not lose it.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_pet
pet=$(wait_for_window Pimbolet 15) || die "the pet did not hatch"
read -r px py _ _ < <(window_geometry "$pet")
read -r gx gy < <(core_pixel 0 1 2 3 4) || die "no pixel common to the front poses"

# Ten steps of (10, 5): the first takes hold, the pet follows the other nine.
drag $((px + gx)) $((py + gy)) $((px + gx + 100)) $((py + gy + 50)) 10
wait_for_place "$pet" $((px + 90)) $((py + 45))
read -r mx my _ _ < <(window_geometry "$pet")
expect "the pet follows the pointer from its second move on (moved by $((mx - px)), $((my - py)))" \
    [ "$mx" -eq $((px + 90)) -a "$my" -eq $((py + 45)) ]
screenshot dragged >/dev/null

# A fast drag: the pointer is already off the pet when the first move takes hold, and the pet
# still follows, as it holds the mouse while the button is down.
drag $((mx + gx)) $((my + gy)) $((mx + gx + 300)) $((my + gy)) 2
wait_for_place "$pet" $((mx + 150)) "$my"
read -r fx fy _ _ < <(window_geometry "$pet")
expect "a fast drag keeps the pet (moved by $((fx - mx)), $((fy - my)))" \
    [ "$fx" -eq $((mx + 150)) -a "$fy" -eq "$my" ]
e2e_finish
