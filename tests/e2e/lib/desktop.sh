# shellcheck shell=bash
# The desktop and the sound server: Xvfb on a free display, openbox, tint2 with a system tray,
# and a PulseAudio whose default sink is a null sink.

e2e_require_tools() {
    local missing=() tool
    for tool in Xvfb openbox tint2 pulseaudio pactl pacat parecord sox xdotool xwininfo xprop \
        xmessage import convert xclip; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] || die "missing tools (scripts/setup installs them): ${missing[*]}"
}

# e2e_start_desktop: a desktop of this test's own (e2e_start_display) with a sound server of its
# own (e2e_start_sound).
e2e_start_desktop() {
    e2e_start_display
    e2e_start_sound
    log "desktop ready on DISPLAY=$DISPLAY"
}

# e2e_start_display: private folders, Xvfb, openbox and tint2 with its tray; no sound server yet.
e2e_start_display() {
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
}

# Xvfb on a display number of its own, drawn at random from a wide range. A server takes its
# display's lock before it makes any socket, so of two servers that draw the same number the
# second ends at once and another number is drawn. (Letting Xvfb search for a free number
# itself, with -displayfd alone, is not safe with several starting together: the search removes
# the socket files of running servers.) -displayfd tells when the server accepts connections.
# The server's process id is in E2E_XVFB_PID.
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
            # shellcheck disable=SC2034 # handed to the caller
            E2E_XVFB_PID=$pid
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
