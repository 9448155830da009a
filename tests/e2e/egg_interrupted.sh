#!/usr/bin/env bash
# The birth date is stored as soon as the egg appears: a pet ended during the egg phase starts
# as a later run next time, walking in from an edge instead of hatching again.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_pet
first=$E2E_LAST_PID
wait_for_window Egg 10 >/dev/null || die "the egg window did not appear"
sleep 1
birth=$(sed -n 's/^birth=//p' "$(settings_file)" 2>/dev/null)
kill -TERM "$first"
expect "the pet ends during the egg phase" wait_for_exit "$first" 5

start_pet
second=$E2E_LAST_PID
pet=$(wait_for_window Pimbolet 10)
expect "the next start shows the pet at once" [ -n "$pet" ]
if [ -n "$pet" ]; then
    x=$(window_geometry "$pet" | cut -d' ' -f1)
    expect "walking in from a screen edge (x=$x)" [ "$x" -le -152 -o "$x" -ge 1256 ]
fi
sleep 1
expect "no egg comes up again" not visible_window Egg
expect "the stored birth date is kept" \
    [ "$(sed -n 's/^birth=//p' "$(settings_file)" 2>/dev/null)" = "$birth" ]
expect "the pet is still running" process_running "$second"

e2e_finish
