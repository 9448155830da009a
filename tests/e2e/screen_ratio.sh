#!/usr/bin/env bash
# Started with a screen ratio that is no finite number from 0.1 to 10 (QT_SCALE_FACTOR, or one
# monitor's in QT_SCREEN_SCALE_FACTORS), the pet says in one line on standard error that it
# ignores it, and shows as at ratio 1: its window 176 pixels square and just outside a screen
# edge, as a later run starts. Such ratios used to end it (SIGABRT) or leave it without a window.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop
store_birth "2020-01-02 03:04:05"

# shows_at_ratio_1 VARIABLE=VALUE: one start with that setting, judged, then ended.
shows_at_ratio_1() {
    local setting=$1 variable=${1%%=*} errors=$E2E_TMP/stderr.txt pet_pid pet x w h lines
    env "$setting" "$PIMBOLET_BIN" </dev/null >>"$E2E_LOGS/pimbolet-out.log" 2>"$errors" &
    pet_pid=$!
    echo "$pet_pid" >>"$E2E_PIDFILE"
    if pet=$(wait_for_window Pimbolet 10); then
        read -r x _ w h < <(window_geometry "$pet")
        expect "$setting: the pet window is 176x176 (${w}x$h)" [ "${w}x$h" = 176x176 ]
        expect "$setting: it starts just outside an edge (x=$x)" \
            [ "$x" -le -152 -a "$x" -ge -176 -o "$x" -ge 1256 -a "$x" -le 1280 ]
        # A second later (five ticks) it still runs and has said no more.
        sleep 1
        screenshot "${setting//[^A-Za-z0-9]/-}" >/dev/null
    else
        fail "$setting: no pet window"
    fi
    expect "$setting: the pet runs on" process_running "$pet_pid"
    lines=$(wc -l <"$errors")
    expect "$setting: one line on standard error ($lines): $(head -c 200 "$errors")" \
        [ "$lines" = 1 ]
    expect "$setting: it says the ratio is ignored" grep -q "ignoring $variable" "$errors"
    cat "$errors" >>"$E2E_LOGS/pimbolet-stderr.log"
    kill "$pet_pid" 2>/dev/null
    wait_for_exit "$pet_pid" 5 || die "the pet did not end"
}

for ratio in -1 0 nan inf 1e-9 1e9; do
    shows_at_ratio_1 "QT_SCALE_FACTOR=$ratio"
done
for ratios in "inf" "1;1e9"; do
    shows_at_ratio_1 "QT_SCREEN_SCALE_FACTORS=$ratios"
done

e2e_finish
