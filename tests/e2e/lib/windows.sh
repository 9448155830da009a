# shellcheck shell=bash
# Windows, their places, outlines and stacking (ids are decimal, as xdotool prints them).

# Every window whose name is exactly NAME (names compared exactly: the program's hidden leader
# window is called "pimbolet"). One listing of the whole tree, taken again should a window vanish
# while it is read.
windows_named() {
    local name=$1 tree line _
    for _ in 1 2 3; do
        tree=$(xwininfo -root -tree 2>/dev/null) && break
        sleep 0.05
    done
    while read -r line; do
        [[ $line == 0x*" \"$name\": "* || $line == 0x*" \"$name\":" ]] && echo "$((${line%% *}))"
    done <<<"$tree"
}

window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# The first viewable window named exactly NAME, if any.
visible_window() {
    local id
    for id in $(windows_named "$1"); do
        if window_viewable "$id"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# wait_for_window NAME [SECONDS]: prints the id of the viewable window named NAME.
wait_for_window() {
    local deadline=$(($(now_ms) + ${2:-10} * 1000)) id
    until id=$(visible_window "$1"); do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    echo "$id"
}

# wait_for_no_window NAME [SECONDS]: true once no window named NAME is viewable, seen so three
# times in a row: a window being destroyed elsewhere can make one look-up miss a window.
wait_for_no_window() {
    local deadline=$(($(now_ms) + ${2:-10} * 1000)) absent=0
    while [ "$absent" -lt 3 ]; do
        if visible_window "$1" >/dev/null; then absent=0; else absent=$((absent + 1)); fi
        [ "$absent" -ge 3 ] && break
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Viewable windows of one process (by _NET_WM_PID), one "id name" a line.
visible_windows_of() {
    local id
    for id in $(xdotool search --pid "$1" 2>/dev/null); do
        window_viewable "$id" && echo "$id $(xdotool getwindowname "$id" 2>/dev/null)"
    done
}

# window_geometry ID: "X Y WIDTH HEIGHT", absolute, in pixels.
window_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { if (w == "") exit 1; print x, y, w, h }'
}

# shape_extents ID: the bounding shape's extents, WxH+X+Y relative to the window.
shape_extents() {
    xwininfo -shape -id "$1" 2>/dev/null |
        awk '/Window shape extents:/ { print $4; found = 1 } END { exit !found }'
}

has_shape() { [ "$(shape_extents "$1")" = "$2" ]; }

# The window that stands for ID among the root's children: ID itself for an override-redirect
# window, the window manager's frame for a managed one.
toplevel_of() {
    local id=$1 info parent root
    while :; do
        info=$(xwininfo -tree -id "$id" 2>/dev/null) || return 1
        parent=$(awk '/Parent window id:/ { print $4 }' <<<"$info")
        root=$(awk '/Root window id:/ { print $4 }' <<<"$info")
        [ "$((parent))" -eq "$((root))" ] && break
        id=$parent
    done
    echo "$((id))"
}

# The root's children from the top of the stack down (xwininfo lists them top first), decimal.
stacking_top_first() {
    xwininfo -root -children 2>/dev/null | awk '/^ +0x[0-9a-f]+ / { print $1 }' |
        while read -r hex; do echo "$((hex))"; done
}

# is_above A B: window A is stacked above window B (frames compared for managed windows).
is_above() {
    local a b
    a=$(toplevel_of "$1") && b=$(toplevel_of "$2") || return 1
    stacking_top_first | awk -v a="$a" -v b="$b" '
        $1 == a { print "above"; exit } $1 == b { print "below"; exit }' | grep -q above
}

# open_popup X Y: opens an override-redirect window at X, Y, as menus and other desktop pets
# are, which the window manager cannot stack; sets E2E_POPUP to its id. Such a window carries no
# name: it is found as the new viewable child of the root.
open_popup() {
    local before id
    before=$(stacking_top_first)
    e2e_spawn popup xmessage -xrm '*overrideRedirect: True' -geometry "+$1+$2" "a popup"
    E2E_POPUP=
    wait_until 10 e2e_new_viewable_child "$before" >/dev/null || return 1
    # shellcheck disable=SC2034 # the popup's id is handed to the test
    E2E_POPUP=$(e2e_new_viewable_child "$before")
}

e2e_new_viewable_child() {
    local id
    for id in $(stacking_top_first); do
        grep -qx "$id" <<<"$1" && continue
        window_viewable "$id" && echo "$id" && return 0
    done
    return 1
}

# Windows with a taskbar entry: the window manager's client list, decimal ids.
client_list() {
    xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*' |
        while read -r hex; do echo "$((hex))"; done
}

in_client_list() { client_list | grep -qx "$1"; }

# The atoms of a window's _NET_WM_STATE, empty when it has none.
wm_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -o '_NET_WM_STATE_[A-Z_]*'; }

# watch_position ID SECONDS: samples the window's place every 0.2 s, one "ms x y" a line (ms from
# the first sample), to follow a walk.
watch_position() {
    local start now deadline geometry
    start=$(now_ms)
    deadline=$((start + $(awk -v s="$2" 'BEGIN { printf "%d", s * 1000 }')))
    while now=$(now_ms) && [ "$now" -le "$deadline" ]; do
        geometry=$(window_geometry "$1") || return 1
        echo "$((now - start)) ${geometry% * *}"
        sleep 0.2
    done
}

# tray_icon PID: the viewable window of the program docked in tint2's tray (Qt names it after
# the program, "pimbolet").
tray_icon() {
    local line
    while read -r line; do
        [ "${line#* }" = pimbolet ] && echo "${line%% *}" && return 0
    done < <(visible_windows_of "$1")
    return 1
}

e2e_at_size() {
    local w h
    read -r _ _ w h < <(window_geometry "$1") && [ "$w" = "$2" ] && [ "$h" = "$3" ]
}

# open_ordinary_window X Y: a window the window manager stacks, activated; its id in E2E_OTHER.
open_ordinary_window() {
    e2e_spawn ordinary xmessage -title e2e-ordinary -geometry "+$1+$2" "an ordinary window"
    # shellcheck disable=SC2034 # handed to the test
    E2E_OTHER=$(wait_for_window e2e-ordinary 10) || return 1
    xdotool windowactivate --sync "$E2E_OTHER" >/dev/null 2>&1
}

topmost() { grep -qx _NET_WM_STATE_ABOVE <<<"$(wm_state "$1")"; }

window_exists() { xwininfo -id "$1" >/dev/null 2>&1; }
