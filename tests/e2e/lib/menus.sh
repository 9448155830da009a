# shellcheck shell=bash
# The pet's menus and dialogs.

# pet_point ID X Y: the screen point of pixel X, Y of the pet window, once the pet's picture is
# wholly on the screen.
pet_point() {
    local wx wy
    read -r wx wy _ _ < <(window_geometry "$1") || return 1
    [ "$wx" -ge 0 ] && [ $((wx + 100)) -le "$SCREEN_W" ] || return 1
    echo "$((wx + $2)) $((wy + $3))"
}

# click_pet ID X Y BUTTON [SECONDS]: waits until that pixel of the pet is on the screen, clicks it.
click_pet() {
    local point
    wait_until "${5:-20}" pet_point "$1" "$2" "$3" >/dev/null || return 1
    point=$(pet_point "$1" "$2" "$3") || return 1
    click "${point% *}" "${point#* }" "$4"
}

# popup_since LISTING [SECONDS]: the id of a window (a menu) mapped since the stacking listing
# was taken.
popup_since() {
    wait_until "${2:-5}" e2e_new_viewable_child "$1" >/dev/null || return 1
    e2e_new_viewable_child "$1"
}

# choose KEY...: keys for the menu or dialog that has the keyboard, a little apart.
choose() { xdotool key --delay 120 "$@"; }

# client_point ID X Y: the screen point of twips X, Y in a window's client area.
client_point() {
    local wx wy
    read -r wx wy _ _ < <(window_geometry "$1") || return 1
    echo "$((wx + $2 / 15)) $((wy + $3 / 15))"
}

# click_twips ID X Y [BUTTON]: clicks twips X, Y of a window's client area.
click_twips() {
    local point
    point=$(client_point "$1" "$2" "$3") || return 1
    click "${point% *}" "${point#* }" "${4:-1}"
}

# box_ticked ID LEFT TOP: the check box at twips LEFT, TOP of the window shows its tick.
box_ticked() {
    local point file dark
    point=$(client_point "$1" "$2" "$3") || return 1
    file=$(screenshot "box-$(now_ms)") || return 1
    dark=$(convert "$file" -crop "10x10+$((${point% *} + 2))+$((${point#* } + 3))" +repage \
        -colorspace gray -threshold 25% -negate -format '%[fx:round(mean*w*h)]' info:)
    rm -f "$file"
    [ "$dark" -gt 3 ]
}

# close_box ID: clicks the close button at the right end of the window manager's title bar.
close_box() {
    local fx fy fw
    read -r fx fy fw _ < <(window_geometry "$(toplevel_of "$1")") || return 1
    click $((fx + fw - 10)) $((fy + 10))
}

# tray_click PID [BUTTON]: clicks the program's tray icon and prints the id of the menu that opens.
tray_click() {
    local icon before ix iy iw ih
    wait_until 10 tray_icon "$1" >/dev/null || return 1
    icon=$(tray_icon "$1")
    read -r ix iy iw ih < <(window_geometry "$icon") || return 1
    before=$(stacking_top_first)
    click $((ix + iw / 2)) $((iy + ih / 2)) "${2:-1}"
    popup_since "$before"
}

# pet_menu ID: right-clicks the pet (once it is wholly on the screen) and prints the id of the
# menu that opens.
pet_menu() {
    local before cx cy
    read -r cx cy < <(awake_pet_pixel) || return 1
    before=$(stacking_top_first)
    click_pet "$1" "$cx" "$cy" 3 || return 1
    popup_since "$before"
}
