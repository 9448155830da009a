#!/usr/bin/env bash
# tint2's tray shows its icons at 24 pixels: the pet's tray icon there is the icon drawn at
# 24 pixels, pixel for pixel, not the 32-pixel one scaled down.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

drawn=$E2E_SOURCE_DIR/resources/pictures/pimbolet-24.png

# shows_drawing FILE X Y: the screenshot holds the drawing at that point: laying the drawing's
# opaque pixels over the screenshot changes none of them.
shows_drawing() {
    local differ
    convert "$1" -crop "24x24+$2+$3" +repage "$E2E_TMP/docked.png"
    convert "$E2E_TMP/docked.png" "$drawn" -composite "$E2E_TMP/expected.png"
    differ=$(compare -metric AE "$E2E_TMP/docked.png" "$E2E_TMP/expected.png" null: 2>&1)
    [ "${differ%% *}" = 0 ]
}

start_later_run
pet_pid=$E2E_LAST_PID
wait_until 10 tray_icon "$pet_pid" >/dev/null || die "the tray icon did not dock"
icon=$(tray_icon "$pet_pid")
read -r x y w h < <(window_geometry "$icon") || die "the tray icon has no geometry"
expect "the tray gives the icon 24 x 24 pixels (${w}x$h)" [ "${w}x$h" = 24x24 ]
# Qt draws the icon once it is docked and shown: give it a moment.
shot=""
for _ in 1 2 3 4 5 6 7 8 9 10; do
    shot=$(screenshot tray) || die "no screenshot"
    shows_drawing "$shot" "$x" "$y" && break
    sleep 0.5
done
cp "$E2E_TMP/docked.png" "$E2E_ARTIFACTS/docked-icon.png"
expect "the docked icon is the 24-pixel drawing, pixel for pixel" shows_drawing "$shot" "$x" "$y"

e2e_finish
