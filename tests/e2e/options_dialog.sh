#!/usr/bin/env bash
# The options from the tray menu: the dialog shows the stored options; the user unticks "Sound"
# and "Stay above other applications", types a name too long to keep whole, is refused "Run at
# Startup", and closes the dialog with its close box: the settings file holds it all, and an
# ordinary window raised over the pet now covers it. "Exit" in the pet menu then ends the program
# and its tray icon.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

store_settings "birth=2025-01-02 03:04:05" "name=Rex the pet" "sound=1" "startup=0" "ontop=1"
start_pet
pid=$E2E_LAST_PID
pet=$(wait_for_window Pimbolet 10) || die "the pet did not appear"
icon=$(wait_until 10 tray_icon "$pid" >/dev/null && tray_icon "$pid") || die "no tray icon docked"

tray_click "$pid" >/dev/null || die "the tray menu did not open on a click"
screenshot tray-menu >/dev/null
choose Down Down Down Return
dialog=$(wait_for_window "Version 4.1 beta" 5) || die "Options did not show the dialog"
expect "the dialog has a taskbar button" in_client_list "$dialog"
read -r _ _ w h < <(window_geometry "$dialog")
expect "its client area is 189 x 152 pixels" [ "$w x $h" = "189 x 152" ]
sleep 0.3
screenshot options-as-stored >/dev/null

click_twips "$dialog" 1400 1100
xdotool key ctrl+a ctrl+c
expect "the name box holds the stored name" \
    wait_until 2 e2e_clipboard_is "Rex the pet"
expect "\"Sound\" is ticked" box_ticked "$dialog" 240 1320
expect "\"Run at Startup\" is not" not box_ticked "$dialog" 1200 1320
expect "\"Stay above other applications\" is ticked" box_ticked "$dialog" 240 1560
expect "the pet is topmost" topmost "$pet"

click_twips "$dialog" 345 1440
click_twips "$dialog" 345 1680
expect "unticking \"Stay above\" takes the pet out of the topmost band at once" \
    wait_until 2 not topmost "$pet"
click_twips "$dialog" 1400 1100
xdotool key ctrl+a
xdotool type --delay 20 "A very long name for a small pet"

click_twips "$dialog" 1305 1440
if refusal=$(wait_for_window "Run at Startup" 5); then
    pass "\"Run at Startup\" is refused"
    screenshot refusal >/dev/null
    press_key "$refusal" Return
    wait_for_no_window "Run at Startup" 3
else
    fail "no refusal of \"Run at Startup\""
fi
expect "\"Run at Startup\" is unticked again" not box_ticked "$dialog" 1200 1320
screenshot options-changed >/dev/null

close_box "$dialog"
expect "the close box closes the dialog" wait_for_no_window "Version 4.1 beta" 3
for kv in "name=A very long name for a sm" "sound=0" "startup=0" "ontop=0" "version=4.1 beta" \
    "birth=2025-01-02 03:04:05"; do
    expect "the settings file holds $kv" [ "$(setting "${kv%%=*}")" = "${kv#*=}" ]
done

open_ordinary_window 500 20 || die "no ordinary window"
expect "an ordinary window raised over the pet covers it" wait_until 2 is_above "$E2E_OTHER" "$pet"
sleep 1
expect "and keeps it covered" is_above "$E2E_OTHER" "$pet"

pet_menu "$pet" >/dev/null || die "the pet menu did not open"
choose Down Down Down Right Down Down Return
await_exit "$pid" 2
expect "Exit ends the program within 2 s with status 0 (${E2E_STATUS:-running})" [ "$E2E_STATUS" = 0 ]
expect "the tray icon is gone" not window_exists "$icon"
e2e_finish
