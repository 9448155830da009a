# shellcheck shell=bash
# Sourced by the benchmarks: a private folder ($work), and desktops of their own started with
# desktop_up. What is started is listed in `pids`; stop_all stops it, and so does the exit.

work=$(mktemp -d)
pids=()
stop_all() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

# desktop_up NAME [WIDTHxHEIGHT] [sound]: a fresh desktop (Xvfb, openbox, tint2) with private
# XDG folders, and with `sound` a PulseAudio of its own whose default sink is a null sink (else
# no sound server at all). Sets XSERVER (the X server's process id), DISPLAY and the folders.
desktop_up() {
    local home=$work/desktop-$1 size=${2:-1280x800}
    rm -rf "$home"
    mkdir -p "$home/run" "$home/config/pimbolet"
    chmod 700 "$home/run"
    export HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$home/no-bus
    : >"$home/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp 3>"$home/display" \
        >/dev/null 2>&1 &
    XSERVER=$!
    pids+=("$XSERVER")
    for _ in $(seq 100); do grep -q '^[0-9]' "$home/display" && break; sleep 0.05; done
    DISPLAY=:$(head -n 1 "$home/display")
    export DISPLAY
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    tint2 >/dev/null 2>&1 &
    pids+=($!)
    export PULSE_SERVER=unix:$home/run/pulse/native
    if [ "${3:-}" = sound ]; then
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
            --load=module-native-protocol-unix --load="module-null-sink sink_name=null" \
            >/dev/null 2>&1 &
        pids+=($!)
        for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
        pactl set-default-sink null >/dev/null 2>&1 || true
    fi
    sleep 1
}

# A pet born long ago, so that it starts as a later run.
store_birth() {
    printf '[Settings]\nbirth=2025-01-02 03:04:05\n' \
        >"$XDG_CONFIG_HOME/pimbolet/virtual pet Pimbolet.ini"
}
