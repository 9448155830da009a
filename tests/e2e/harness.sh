# shellcheck shell=bash
# Sourced by every end-to-end test. Gives the test a desktop of its own (Xvfb on a free display,
# openbox, tint2 with a system tray) and a PulseAudio of its own whose default sink is a null
# sink, starts the pet in it and offers the look-ups the checks need. Each test runs alone in a
# temporary folder, so several can run at once; on exit every process it started is stopped by
# its process id.
#
# From CTest: PIMBOLET_BIN (the built program, cdata/ beside it), E2E_SOURCE_DIR (the source
# tree, for the sprite sheet) and E2E_ARTIFACTS (where screenshots and logs are kept).

set -uo pipefail
export LC_ALL=C

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_NAME=$(basename "$0" .sh)
: "${PIMBOLET_BIN:?PIMBOLET_BIN must name the built program}"
: "${E2E_SOURCE_DIR:=$(cd "$E2E_DIR/../.." && pwd)}"
: "${E2E_ARTIFACTS:=${TMPDIR:-/tmp}/pimbolet-e2e-artifacts/$E2E_NAME}"
PIMBOLET_BIN=$(realpath "$PIMBOLET_BIN")
SCREEN_W=1280
SCREEN_H=1024

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pimbolet-e2e.XXXXXX")
E2E_PIDFILE=$E2E_TMP/pids
E2E_LOGS=$E2E_TMP/logs
E2E_FAILURES=0
E2E_T0=${EPOCHREALTIME//[.,]/}
mkdir -p "$E2E_LOGS" "$E2E_ARTIFACTS"
rm -f "$E2E_ARTIFACTS"/*.png "$E2E_ARTIFACTS"/*.log "$E2E_ARTIFACTS"/*.wav
: >"$E2E_PIDFILE"

# ---- reporting

now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}

log() {
    local t=${EPOCHREALTIME//[.,]/}
    local ms=$(((t - E2E_T0) / 1000))
    printf '[%3d.%03ds] %s\n' $((ms / 1000)) $((ms % 1000)) "$*"
}

pass() { log "ok    $*"; }

fail() {
    log "FAIL  $*"
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Ends the test at once: used when nothing after the failed step can be checked.
die() {
    fail "$*"
    e2e_dump_windows
    exit 1
}

# What was on the display, for the logs of a failed test.
e2e_dump_windows() {
    [ -n "${DISPLAY:-}" ] || return 0
    {
        local pid
        while read -r pid; do
            echo "process $pid: $(ps -o stat=,args= -p "$pid" 2>/dev/null || echo ended)"
        done <"$E2E_PIDFILE"
        xwininfo -root -tree
        xprop -root _NET_CLIENT_LIST_STACKING
    } >"$E2E_LOGS/windows.log" 2>&1
    screenshot failure >/dev/null 2>&1
}

# expect DESCRIPTION COMMAND...: one check, passed when the command succeeds.
expect() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

e2e_finish() {
    if [ "$E2E_FAILURES" -gt 0 ]; then
        e2e_dump_windows
        log "$E2E_FAILURES check(s) failed; logs and screenshots in $E2E_ARTIFACTS"
        exit 1
    fi
    log "all checks passed"
    exit 0
}

# not COMMAND...: succeeds when the command fails, for use with expect and wait_until.
not() { ! "$@"; }

# ---- processes

# e2e_spawn NAME COMMAND...: runs the command in the background, output to logs/NAME.log, and
# sets E2E_LAST_PID. Not to be called in $(...): the process must be this shell's child.
e2e_spawn() {
    local name=$1
    shift
    "$@" </dev/null >>"$E2E_LOGS/$name.log" 2>&1 &
    E2E_LAST_PID=$!
    echo "$E2E_LAST_PID" >>"$E2E_PIDFILE"
}

# True while the process runs (an exited child that is not yet reaped does not count).
process_running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [ -n "$state" ] && [[ $state != Z* ]]
}

# wait_for_exit PID SECONDS: true when the process ended within the time.
wait_for_exit() {
    local deadline=$(($(now_ms) + ${2:-5} * 1000))
    while process_running "$1"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    wait "$1" 2>/dev/null
    return 0
}

e2e_cleanup() {
    local status=$?
    set +e
    [ -n "${E2E_WATCHDOG:-}" ] && kill "$E2E_WATCHDOG" 2>/dev/null
    local pids
    pids=$(tac "$E2E_PIDFILE" 2>/dev/null)
    for pid in $pids; do kill -TERM "$pid" 2>/dev/null; done
    local deadline=$(($(now_ms) + 3000))
    for pid in $pids; do
        while process_running "$pid" && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.05; done
        process_running "$pid" && kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    for f in "$E2E_LOGS"/*.log; do [ -s "$f" ] && cp "$f" "$E2E_ARTIFACTS/"; done
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 143' TERM INT HUP

# Should CTest kill this shell outright at its time-out, the EXIT trap never runs: a watchdog
# outside the shell then stops what the test started.
e2e_start_watchdog() {
    local parent=$$
    (
        trap '' INT
        while kill -0 "$parent" 2>/dev/null; do sleep 1; done
        for pid in $(tac "$E2E_PIDFILE" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null; done
        rm -rf "$E2E_TMP"
    ) </dev/null >/dev/null 2>&1 &
    E2E_WATCHDOG=$!
}

# wait_until SECONDS COMMAND...: polls the command every 0.1 s until it succeeds.
wait_until() {
    local deadline=$(($(now_ms) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')))
    shift
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# ---- the desktop and the sound server

e2e_require_tools() {
    local missing=()
    for tool in Xvfb openbox tint2 pulseaudio pactl pacat parecord sox xdotool xwininfo xprop \
        xmessage import convert xclip; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] || die "missing tools (scripts/setup installs them): ${missing[*]}"
}

e2e_start_desktop() {
    e2e_require_tools
    e2e_start_watchdog

    export HOME=$E2E_TMP/home
    export XDG_RUNTIME_DIR=$E2E_TMP/run
    export XDG_CONFIG_HOME=$E2E_TMP/config
    export XDG_DATA_HOME=$E2E_TMP/data
    export XDG_CACHE_HOME=$E2E_TMP/cache
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    # No session bus: nothing may start a shared dbus-daemon, and Qt docks its tray icon the
    # XEmbed way, in tint2's tray.
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TMP/no-session-bus
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY SESSION_MANAGER XAUTHORITY DESKTOP_STARTUP_ID

    e2e_start_xvfb

    # Now and then, with many displays starting at once, the window manager's first connection
    # is refused and it ends at once: start it again.
    local attempt
    for attempt in 1 2 3; do
        e2e_spawn openbox openbox --sm-disable
        wait_until 15 e2e_wm_up_or_gone "$E2E_LAST_PID"
        e2e_wm_running && break
        log "openbox ended at once (attempt $attempt): $(tail -n 1 "$E2E_LOGS/openbox.log" 2>/dev/null)"
        [ "$attempt" -lt 3 ] || die "openbox did not start"
    done
    e2e_prepare_display
    e2e_spawn tint2 tint2 -c "$E2E_DIR/tint2rc"
    wait_until 15 e2e_tray_running || die "tint2 did not start"

    e2e_start_sound
    log "desktop ready on DISPLAY=$DISPLAY"
}

# Xvfb on a display number of its own, drawn at random from a wide range. A server takes its
# display's lock before it makes any socket, so of two servers that draw the same number the
# second ends at once and another number is drawn. (Letting Xvfb search for a free number
# itself, with -displayfd alone, is not safe with several starting together: the search removes
# the socket files of running servers.) -displayfd tells when the server accepts connections.
e2e_start_xvfb() {
    local attempt pid log number
    for attempt in 1 2 3 4 5; do
        number=$((1000 + (RANDOM * 32768 + RANDOM) % 59000))
        [ -e "/tmp/.X$number-lock" ] && continue
        log=$E2E_LOGS/xvfb-$attempt.log
        : >"$E2E_TMP/display"
        Xvfb ":$number" -displayfd 3 -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -dpi 96 \
            -nolisten tcp 3>"$E2E_TMP/display" </dev/null >>"$log" 2>&1 &
        pid=$!
        echo "$pid" >>"$E2E_PIDFILE"
        if e2e_wait_for_display "$pid"; then
            export DISPLAY=:$number
            wait_until 10 xwininfo_root_quiet && return 0
        fi
        log "Xvfb did not come up on :$number: $(tr '\n' ' ' <"$log")"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    die "Xvfb did not start"
}

# True once Xvfb has written its display number, false at once should it end first.
e2e_wait_for_display() {
    local deadline=$(($(now_ms) + 15000))
    until grep -q '^[0-9][0-9]*$' "$E2E_TMP/display"; do
        process_running "$1" && [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

xwininfo_root_quiet() { xwininfo -root >/dev/null 2>&1; }
e2e_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
e2e_wm_up_or_gone() { e2e_wm_running || ! process_running "$1"; }
e2e_tray_running() { [ -n "$(xdotool search --class tint2 2>/dev/null)" ]; }

e2e_start_sound() {
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    # A client that finds no server must not start one of its own.
    export PULSE_CLIENTCONFIG=$E2E_TMP/pulse-client.conf
    echo "autospawn = no" >"$PULSE_CLIENTCONFIG"
    cat >"$E2E_TMP/pulse.pa" <<'EOF'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=null
set-default-sink null
EOF
    e2e_spawn pulseaudio pulseaudio -n -F "$E2E_TMP/pulse.pa" --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes --log-target=stderr
    wait_until 15 pactl info >/dev/null 2>&1 || die "PulseAudio did not start"
    # An idle null sink does not feed its monitor in real time: a silent stream keeps it busy.
    e2e_spawn keep-alive bash -c 'exec pacat -p -d null --raw </dev/zero'
}

# ---- the pet

settings_file() { echo "$XDG_CONFIG_HOME/pimbolet/virtual pet Pimbolet.ini"; }

# store_birth "yyyy-mm-dd hh:mm:ss": the pet has been born before, so it starts as a later run.
store_birth() {
    mkdir -p "$XDG_CONFIG_HOME/pimbolet"
    printf '[Settings]\nbirth=%s\n' "$1" >"$(settings_file)"
}

# start_pet [PROGRAM]: starts the pet (or another copy of it); its process id is in E2E_LAST_PID.
start_pet() {
    local program=${1:-$PIMBOLET_BIN}
    e2e_spawn "pimbolet-$(($(wc -l <"$E2E_PIDFILE") + 1))" "$program"
    log "started $(basename "$program"), pid $E2E_LAST_PID"
}

# sprite_cell_bbox N: bounding box (WxH+X+Y) of the pixels of sprite cell N that are not magenta.
sprite_cell_bbox() {
    local n=$1 sheet=$E2E_SOURCE_DIR/resources/pictures/sprites.png
    local bbox
    # A black frame first, so that trimming never takes a drawing that reaches the cell's edge for
    # background; the frame's pixel is taken off the offsets again.
    bbox=$(convert "$sheet" -crop "100x100+$((n % 9 * 100))+$((n / 9 * 100))" +repage \
        -fill white +opaque '#ff00ff' -fill black -opaque '#ff00ff' \
        -bordercolor black -border 1 -format '%@' info:) || return 1
    [[ $bbox =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    echo "${BASH_REMATCH[1]}x${BASH_REMATCH[2]}+$((BASH_REMATCH[3] - 1))+$((BASH_REMATCH[4] - 1))"
}

# sprite_cell_pixels N: the pixels of sprite cell N that are not magenta, one "x y" a line.
sprite_cell_pixels() {
    local n=$1 sheet=$E2E_SOURCE_DIR/resources/pictures/sprites.png
    convert "$sheet" -crop "100x100+$((n % 9 * 100))+$((n / 9 * 100))" +repage -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 && $0 !~ /#FF00FF/ { print $1, $2 }'
}

# ---- windows (ids are decimal, as xdotool prints them)

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

# ---- input

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

# ---- pictures

# screenshot NAME: the whole screen as NAME.png in the test's artifacts folder; prints the path.
screenshot() {
    local file=$E2E_ARTIFACTS/$1.png
    import -window root "$file" && echo "$file"
}

# pixel FILE X Y: the colour at a point of a picture, as #RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1
}

# count_colour FILE WxH+X+Y COLOUR: how many pixels of that part of a picture have exactly the
# colour, for example the key colour '#ff00ff' that must never reach the screen.
count_colour() {
    convert "$1" -crop "$2" +repage -fill black +opaque "$3" -fill white -opaque "$3" \
        -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}

# ---- sound (what the pet plays reaches the null sink's monitor)

# record_audio SECONDS FILE: records the null sink's monitor into a WAV file, blocking.
record_audio() {
    timeout --signal=INT "$1" parecord --device=null.monitor --latency-msec=20 \
        --file-format=wav "$2" 2>>"$E2E_LOGS/parecord.log"
    [ -s "$2" ]
}

# start_recording FILE / stop_recording: the same around an action of the test.
start_recording() {
    e2e_spawn parecord parecord --device=null.monitor --latency-msec=20 --file-format=wav "$1"
    E2E_RECORDER=$E2E_LAST_PID
}

stop_recording() {
    kill -INT "$E2E_RECORDER" 2>/dev/null
    wait_for_exit "$E2E_RECORDER" 5
}

# Loudest sample and RMS level of a recording, both from 0 to 1.
max_amplitude() { sox "$1" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }'; }
rms_amplitude() { sox "$1" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'; }

# is_loud FILE [THRESHOLD]: something was heard (the keep-alive stream alone is silence).
is_loud() {
    local peak
    peak=$(max_amplitude "$1")
    [ -n "$peak" ] && awk -v p="$peak" -v t="${2:-0.01}" 'BEGIN { exit !(p > t) }'
}

# ---- the maker's web site and the program's own folder

# private_program_copy: a copy of the program with its cdata/ in a folder of this test, so that
# what the program writes there stays out of the build. Sets E2E_PROGRAM (the copy) and
# E2E_UPDATE_FILE (where its update check keeps the update file).
private_program_copy() {
    local dir=$E2E_TMP/program
    mkdir -p "$dir"
    cp "$PIMBOLET_BIN" "$dir/"
    cp -r "$(dirname "$PIMBOLET_BIN")/cdata" "$dir/"
    # shellcheck disable=SC2034 # both are handed to the test
    E2E_PROGRAM=$dir/$(basename "$PIMBOLET_BIN") E2E_UPDATE_FILE=$dir/cdata/update.koz
}

# start_web_site DIR: an HTTP server on 127.0.0.1 serving DIR (404 for what is not there), made
# the maker's web site for the programs started from here on; its port is in E2E_WEB_PORT.
start_web_site() {
    local log=$E2E_LOGS/web-site-$(($(wc -l <"$E2E_PIDFILE") + 1)).log
    e2e_spawn "$(basename "$log" .log)" python3 -u -m http.server --bind 127.0.0.1 \
        --directory "$1" 0
    E2E_WEB_PID=$E2E_LAST_PID
    wait_until 10 grep -q 'port [0-9]' "$log" || die "the web site did not start"
    E2E_WEB_PORT=$(grep -o 'port [0-9]*' "$log" | head -1 | cut -d' ' -f2)
    export PIMBOLET_WEB_HOST=127.0.0.1:$E2E_WEB_PORT
}

# stop_web_site: the server ends; its port now refuses connections.
stop_web_site() {
    kill "$E2E_WEB_PID" 2>/dev/null
    wait_for_exit "$E2E_WEB_PID" 5
}

# update_file TEXT: the update file the web site offers (printf escapes such as \r\n work).
update_file() {
    mkdir -p "$E2E_TMP/site/koz"
    # shellcheck disable=SC2059 # the text carries the line ends as escapes
    printf "$1" >"$E2E_TMP/site/koz/update.koz"
}

# use_stand_in_browser: web pages the program opens are written, one address a line, to
# E2E_OPENED instead of reaching a browser.
use_stand_in_browser() {
    E2E_OPENED=$E2E_TMP/opened
    mkdir -p "$E2E_TMP/bin"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$E2E_OPENED" >"$E2E_TMP/bin/xdg-open"
    chmod +x "$E2E_TMP/bin/xdg-open"
    export PATH=$E2E_TMP/bin:$PATH
    unset BROWSER DEFAULT_BROWSER
}

# ---- the pet's menus and dialogs

# core_pixel CELL...: "x y" of a pixel that every one of the sprite cells covers, the one
# nearest their middle: a place to click the pet whichever of those pictures it shows.
core_pixel() {
    local c
    for c in "$@"; do sprite_cell_pixels "$c"; done | sort | uniq -c |
        awk -v n=$# '$1 == n { k++; x[k] = $2; y[k] = $3; sx += $2; sy += $3 }
            END { if (!k) exit 1; mx = sx / k; my = sy / k; best = -1
                  for (i = 1; i <= k; i++) { d = (x[i] - mx) ^ 2 + (y[i] - my) ^ 2
                      if (best < 0 || d < best) { best = d; b = i } }
                  print x[b], y[b] }'
}

# Where to click a pet that walks, stands or reacts: a pixel of its body in each of those
# pictures.
awake_pet_pixel() { core_pixel 0 1 2 4 $(seq 9 34); }

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

# shows_cell FILE ID CELL...: the screenshot shows one of the sprite cells in the window: every
# pixel of the cell's drawing is on the screen as drawn, bar a few.
shows_cell() {
    local file=$1 id=$2 wx wy cell differ sheet=$E2E_SOURCE_DIR/resources/pictures/sprites.png
    shift 2
    read -r wx wy _ _ < <(window_geometry "$id") || return 1
    convert "$file" -crop "100x100+$wx+$wy" +repage "$E2E_TMP/seen.png"
    for cell in "$@"; do
        convert "$sheet" -crop "100x100+$((cell % 9 * 100))+$((cell / 9 * 100))" +repage \
            -transparent '#ff00ff' "$E2E_TMP/cell.png"
        convert "$E2E_TMP/seen.png" "$E2E_TMP/cell.png" -composite "$E2E_TMP/drawn.png"
        differ=$(compare -metric AE "$E2E_TMP/drawn.png" "$E2E_TMP/seen.png" null: 2>&1)
        [ "${differ%% *}" -lt 50 ] 2>/dev/null && return 0
    done
    return 1
}

# first_sound_seconds FILE: how long the first sound heard in a recording lasts (until a tenth of
# a second of silence).
first_sound_seconds() {
    sox "$1" -n silence 1 0.01 1% 1 0.1 1% stat 2>&1 | awk '/^Length/ { print $3 }'
}

# setting KEY: the stored value of a setting ("" when absent).
setting() { sed -n "s/^$1=//p" "$(settings_file)" 2>/dev/null; }

# store_settings KEY=VALUE...: the settings file holds these (and nothing else).
store_settings() {
    mkdir -p "$XDG_CONFIG_HOME/pimbolet"
    printf '[Settings]\n%s\n' "$@" >"$(settings_file)"
}

e2e_at_size() {
    local w h
    read -r _ _ w h < <(window_geometry "$1") && [ "$w" = "$2" ] && [ "$h" = "$3" ]
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

# await_exit PID SECONDS: waits for the program to end; its exit status is in E2E_STATUS (empty
# while it runs). Not to be called in $(...): only this shell can collect the status.
await_exit() {
    E2E_STATUS=
    wait_until "$2" not process_running "$1" || return 1
    wait "$1"
    # shellcheck disable=SC2034 # handed to the test
    E2E_STATUS=$?
}

# open_ordinary_window X Y: a window the window manager stacks, activated; its id in E2E_OTHER.
open_ordinary_window() {
    e2e_spawn ordinary xmessage -title e2e-ordinary -geometry "+$1+$2" "an ordinary window"
    # shellcheck disable=SC2034 # handed to the test
    E2E_OTHER=$(wait_for_window e2e-ordinary 10) || return 1
    xdotool windowactivate --sync "$E2E_OTHER" >/dev/null 2>&1
}

topmost() { grep -qx _NET_WM_STATE_ABOVE <<<"$(wm_state "$1")"; }

e2e_clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }

window_exists() { xwininfo -id "$1" >/dev/null 2>&1; }

# ---- the sound server going away and coming back

# stop_sound: the sound server ends, as when the user's sound server is stopped or crashes
# (the silent stream that kept its sink busy ends with it). e2e_start_sound starts it again.
stop_sound() {
    local pid
    while read -r pid; do
        case "$(ps -o comm= -p "$pid" 2>/dev/null)" in
        pulseaudio | pacat)
            kill "$pid" 2>/dev/null
            wait_for_exit "$pid" 5
            ;;
        esac
    done <"$E2E_PIDFILE"
    wait_until 5 not pactl info >/dev/null 2>&1
}

# cpu_ticks PID: the processor time the process has used so far, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }

# ---- other displays

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

# start_later_run: a pet born before starts and walks in; its process id is in E2E_LAST_PID and
# its window in E2E_PET. Not to be called in $(...).
start_later_run() {
    store_birth "2025-01-02 03:04:05"
    start_pet
    # shellcheck disable=SC2034 # handed to the test
    E2E_PET=$(wait_for_window Pimbolet 10) || die "the pet did not appear"
}
