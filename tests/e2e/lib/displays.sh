# shellcheck shell=bash
# E2E_DISPLAY names the display a case runs on (empty: one 1280x1024 monitor at 96 dots per
# inch). "2x" draws every pixel of the screen the program measures as 2 x 2 pixels of the
# display, through Xft.dpi 192 in the root window's resources as desktops set it. "two-monitors"
# is two monitors side by side, the primary one on the right, lower and smaller: 1280x1024 at
# 0,0 and 1024x768 at 1280,128. "two-monitors-2x" is both. What the checks read (xwininfo,
# screenshots) is in the display's pixels: PRIMARY_X, PRIMARY_Y, PRIMARY_W and PRIMARY_H give the
# primary monitor in them, SCREEN_W and SCREEN_H the whole display.
E2E_DISPLAY=${E2E_DISPLAY:-}
E2E_SCALE=1
[[ $E2E_DISPLAY == *2x ]] && E2E_SCALE=2
if [[ $E2E_DISPLAY == two-monitors* ]]; then
    PRIMARY_X=$((1280 * E2E_SCALE)) PRIMARY_Y=$((128 * E2E_SCALE))
    PRIMARY_W=$((1024 * E2E_SCALE)) PRIMARY_H=$((768 * E2E_SCALE))
    SCREEN_W=$((PRIMARY_X + PRIMARY_W)) SCREEN_H=$((1024 * E2E_SCALE))
else
    PRIMARY_X=0 PRIMARY_Y=0 PRIMARY_W=$((SCREEN_W * E2E_SCALE)) PRIMARY_H=$((SCREEN_H * E2E_SCALE))
    SCREEN_W=$PRIMARY_W SCREEN_H=$PRIMARY_H
fi

# Run by e2e_start_desktop once the window manager is connected: what a client sets on the
# display lasts only while some client is, and Qt reads it when the pet starts.
e2e_prepare_display() {
    if [ "$E2E_SCALE" != 1 ]; then
        xrdb -nocpp -merge <<<"Xft.dpi: $((96 * E2E_SCALE))" || die "Xft.dpi could not be set"
    fi
    if [[ $E2E_DISPLAY == two-monitors* ]]; then
        # Sizes in millimetres at 96 dots per inch of the screen the program measures.
        if ! e2e_set_monitor LEFT 0 0 "$PRIMARY_X" "$SCREEN_H" ||
            ! e2e_set_monitor '*RIGHT' "$PRIMARY_X" "$PRIMARY_Y" "$PRIMARY_W" "$PRIMARY_H"; then
            die "the monitors could not be set"
        fi
    fi
}

# display_output: the name of the display's (first) connected RandR output.
display_output() { xrandr 2>/dev/null | awk '/ connected/ { print $1; found = 1; exit } END { exit !found }'; }

# only_set_monitors: the display's output stops counting as a monitor of its own (one over the
# whole screen), so that only the monitors set (two-monitors) remain and the parts of the screen
# that none of them covers are shown by none, as between monitors of different sizes. Xvfb turns
# the output off but refuses the screen size that xrandr asks for then, which stays as it is.
only_set_monitors() {
    local output
    output=$(display_output) || return 1
    xrandr --output "$output" --off 2>/dev/null
    ! xrandr --listmonitors | grep -q " $output\$"
}

# e2e_set_monitor NAME X Y W H: a RandR monitor over that part of the screen ("*NAME": primary).
e2e_set_monitor() {
    xrandr --setmonitor "$1" \
        "$4/$(($4 * 254 / 960 / E2E_SCALE))x$5/$(($5 * 254 / 960 / E2E_SCALE))+$2+$3" none
}

# px N: N pixels of the screen the program measures, in the display's pixels.
px() { echo $(($1 * E2E_SCALE)); }

# twips_px T: the display pixel nearest to T twips, a half away from zero as the program rounds.
twips_px() {
    awk -v t="$1" -v s="$E2E_SCALE" \
        'BEGIN { v = t * s / 15; printf "%d\n", (v >= 0 ? int(v + 0.5) : -int(-v + 0.5)) }'
}

# scaled_box WxH+X+Y: a box in pixels of the screen the program measures, in the display's.
scaled_box() {
    [[ $1 =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    echo "$(px "${BASH_REMATCH[1]}")x$(px "${BASH_REMATCH[2]}")+$(px "${BASH_REMATCH[3]}")+$(px "${BASH_REMATCH[4]}")"
}

# screen_mode WxH: the display's output shows WxH from now on, as when a laptop is undocked or a
# monitor is given another resolution; SCREEN_W, SCREEN_H and the primary monitor's size follow.
# Xvfb offers only the size it was started with, which is also the largest: a smaller mode is
# added to its output first. Qt hears it as the monitor's new geometry.
screen_mode() {
    local output
    output=$(display_output) || return 1
    if ! xrandr 2>/dev/null | grep -q "^ *$1 "; then
        xrandr --newmode "$1" 0 "${1%x*}" 0 0 0 "${1#*x}" 0 0 0 &&
            xrandr --addmode "$output" "$1" || return 1
    fi
    xrandr --output "$output" --mode "$1" || return 1
    SCREEN_W=${1%x*} SCREEN_H=${1#*x}
    PRIMARY_W=$SCREEN_W PRIMARY_H=$SCREEN_H
}
