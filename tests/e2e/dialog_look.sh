#!/usr/bin/env bash
# The message boxes look like the program's own windows: the "Already Running" box of a second
# copy and the age box carry the options dialog's icon, and their buttons only their captions.
# Enter and Escape each hide the options dialog and the About box, which stay as they were.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# icon_of ID: the window's icon as the desktop reads it (_NET_WM_ICON), one line.
icon_of() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | tr -d '\n' | md5sum | cut -d' ' -f1; }

# plain_buttons ID: the row of buttons at the foot of a message box shows no picture, only button
# faces, their frames and captions: no pixel of the green of the style's stock OK arrow.
plain_buttons() {
    local x y w h file
    read -r x y w h < <(window_geometry "$1") || return 1
    file=$(screenshot "buttons-$(now_ms)") || return 1
    [ "$(convert "$file" -crop "${w}x$(px 40)+$x+$((y + h - $(px 40)))" +repage \
        -fx 'g >= r && g - b > 0.12' -format '%[fx:round(mean*w*h)]' info:)" -lt 5 ]
}

# shown_then_keyed NAME KEY: the window named NAME is up, KEY is typed in it and it is hidden.
shown_then_keyed() {
    local id
    id=$(wait_for_window "$1" 5) || return 1
    press_key "$id" "$2"
    wait_for_no_window "$1" 3
}

start_later_run
pid=$E2E_LAST_PID
wait_until 10 tray_icon "$pid" >/dev/null || die "no tray icon docked"

tray_click "$pid" >/dev/null || die "the tray menu did not open"
choose Down Down Down Return
dialog=$(wait_for_window "Version 4.1 beta" 5) || die "Options did not show the dialog"
options_icon=$(icon_of "$dialog")
expect "the options dialog has an icon" [ "$options_icon" != "$(icon_of 0)" ]
expect "Escape hides the options dialog" shown_then_keyed "Version 4.1 beta" Escape
tray_click "$pid" >/dev/null || die "the tray menu did not open again"
choose Down Down Down Return
expect "Enter on \"Close Window\" hides it" shown_then_keyed "Version 4.1 beta" Return

tray_click "$pid" >/dev/null || die "the tray menu did not open for About"
choose Down Down Down Down Return
expect "Enter on \"OK\" hides the About box" shown_then_keyed "About KOZ" Return
tray_click "$pid" >/dev/null || die "the tray menu did not open for About again"
choose Down Down Down Down Return
expect "Escape hides it" shown_then_keyed "About KOZ" Escape

start_pet
second=$E2E_LAST_PID
box=$(wait_for_window "KOZ - Already Running" 10) || die "no \"KOZ - Already Running\" box"
sleep 0.3
screenshot already-running >/dev/null
expect "the \"Already Running\" box carries the options dialog's icon" \
    [ "$(icon_of "$box")" = "$options_icon" ]
expect "its button has no picture" plain_buttons "$box"
press_key "$box" Return
expect "the second copy ends" wait_for_exit "$second" 5

tray_click "$pid" >/dev/null || die "the tray menu did not open for the age"
choose Down Return
box=$(wait_for_window "virtual pet Pimbolet" 5) || die "\"Pimbolet's Age?\" showed nothing"
sleep 0.3
screenshot age >/dev/null
expect "the age box carries the options dialog's icon" [ "$(icon_of "$box")" = "$options_icon" ]
expect "its button has no picture" plain_buttons "$box"
press_key "$box" Return
expect "Enter closes it" wait_for_no_window "virtual pet Pimbolet" 3
expect "the pet goes on" process_running "$pid"
e2e_finish
