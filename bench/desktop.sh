# shellcheck shell=bash
# shellcheck source-path=SCRIPTDIR
# Sourced by the benchmarks: desktops of their own, started through the desktop library of the
# end-to-end tests (tests/e2e/lib) with its retries and its watchdog, and its look-ups and
# actions. desktop_up starts a fresh desktop; what was started before is stopped then, by
# e2e_stop_all and at the exit. `work` is a private folder. Logs of what was started are kept
# in /tmp/pimbolet-bench/<benchmark>/.

: "${E2E_ARTIFACTS:=${TMPDIR:-/tmp}/pimbolet-bench/$(basename "$0" .sh)}"
# shellcheck source=../tests/e2e/lib/all.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib/all.sh"
# The library's helpers tell how they fared by their status, for the caller to weigh.
set +e
work=$E2E_TMP

# desktop_up NAME [WIDTHxHEIGHT] [sound]: a fresh desktop (Xvfb, openbox, tint2) with private
# XDG folders, and with `sound` a PulseAudio of its own whose default sink is a null sink (else
# no sound server at all). Sets XSERVER (the X server's process id), DISPLAY and the folders.
desktop_up() {
    local size=${2:-1280x800}
    e2e_stop_all
    rm -rf "${E2E_TMP:?}"/{home,run,config,data,cache}
    SCREEN_W=${size%x*} SCREEN_H=${size#*x}
    e2e_start_display
    if [ "${3:-}" = sound ]; then
        e2e_start_sound
    else
        export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    fi
    XSERVER=$E2E_XVFB_PID
}
