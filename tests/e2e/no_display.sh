#!/usr/bin/env bash
# Started where no X display can be opened (DISPLAY unset or naming no server, or a display
# platform chosen that is not installed), the pet says so in one line on standard error and
# ends with status 1: no abort, no advice to reinstall, nothing written.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"

export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/config XDG_RUNTIME_DIR=$E2E_TMP/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# A display number that no server holds.
free_display=:$((60000 + RANDOM % 5000))
while [ -e "/tmp/.X11-unix/X${free_display#:}" ]; do free_display=:$((${free_display#:} + 1)); done

for case in "DISPLAY unset|-u DISPLAY" "no server at $free_display|DISPLAY=$free_display" \
    "a platform that is not installed|QT_QPA_PLATFORM=no-such-platform"; do
    what=${case%%|*}
    # shellcheck disable=SC2086 # the case's environment change is two words or one
    env ${case#*|} "$PIMBOLET_BIN" >"$E2E_LOGS/out.log" 2>"$E2E_LOGS/err.log" </dev/null
    status=$?
    cp "$E2E_LOGS/err.log" "$E2E_ARTIFACTS/${what// /-}.log"
    expect "$what: the program ends with status 1 ($status)" [ "$status" = 1 ]
    expect "$what: one line on standard error ($(wc -l <"$E2E_LOGS/err.log"))" \
        [ "$(wc -l <"$E2E_LOGS/err.log")" = 1 ]
    expect "$what: it says no X display could be opened: $(head -c 200 "$E2E_LOGS/err.log")" \
        grep -q "no X display could be opened" "$E2E_LOGS/err.log"
done
expect "nothing was written to the settings" [ ! -e "$XDG_CONFIG_HOME/pimbolet" ]
e2e_finish
