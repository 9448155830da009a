# shellcheck shell=bash
# The pointer and the keyboard.

# move_pointer X Y: the pointer is there when this returns. (A synchronous move to where the
# pointer already is would wait for a motion that never comes.)
move_pointer() {
    [ "$(xdotool getmouselocation 2>/dev/null | cut -d' ' -f1-2)" = "x:$1 y:$2" ] ||
        xdotool mousemove --sync "$1" "$2"
}

# click X Y [BUTTON]: 1 left, 2 middle, 3 right.
click() { move_pointer "$1" "$2" && xdotool click "${3:-1}"; }

# drag X1 Y1 X2 Y2 [STEPS]: presses the left button at X1,Y1, moves to X2,Y2 in even steps and
# lets go there.
drag() {
    local steps=${5:-10} i
    move_pointer "$1" "$2"
    xdotool mousedown 1
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove --sync $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
        # The first move must reach the program on its own, not merged with the next ones.
        if [ "$i" -eq 1 ]; then sleep 0.3; else sleep 0.03; fi
    done
    xdotool mouseup 1
}

# wait_for_place ID X Y [SECONDS]: true once the window's top-left corner is at X, Y.
wait_for_place() {
    wait_until "${4:-2}" e2e_at_place "$1" "$2" "$3"
}

e2e_at_place() {
    local x y
    read -r x y _ _ < <(window_geometry "$1") && [ "$x" = "$2" ] && [ "$y" = "$3" ]
}

# press_key ID KEY: activates the window and types the key in it (Return, Escape, ...).
press_key() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    xdotool key --clearmodifiers "$2"
}

e2e_clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
