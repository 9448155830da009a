#!/usr/bin/env bash
# A second copy of the pet refuses to start with its message box and ends once the box is
# dismissed; the first copy goes on untouched. So does a copy started on the same settings with
# another runtime folder, or none.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_later_run
first=$E2E_LAST_PID
pet=$E2E_PET

start_pet
second=$E2E_LAST_PID
box=$(wait_for_window "KOZ - Already Running" 10) ||
    die "the second copy showed no \"KOZ - Already Running\" box"
pass "the second copy shows \"KOZ - Already Running\""
expect "the box is an ordinary managed window" in_client_list "$box"
expect "the box belongs to the second copy" grep -qx "$box" < <(xdotool search --pid "$second")

sleep 1
expect "the second copy waits while its box is up" process_running "$second"
others=$(visible_windows_of "$second" | grep -v "^$box ")
expect "the second copy shows nothing but its box${others:+ (also: $others)}" [ -z "$others" ]
expect "there is one pet on the desktop" [ "$(windows_named Pimbolet | while read -r id; do
    window_viewable "$id" && echo "$id"; done | wc -l)" -eq 1 ]
screenshot already-running >/dev/null

press_key "$box" Return
expect "the second copy ends when its box is dismissed" wait_for_exit "$second" 5
expect "its box is gone" wait_for_no_window "KOZ - Already Running" 3

expect "the first copy is still running" process_running "$first"
expect "the first copy's pet window is still shown" window_viewable "$pet"
expect "the first copy's pet is the same window" [ "$(visible_window Pimbolet)" = "$pet" ]

mkdir -p "$E2E_TMP/other-run"
chmod 700 "$E2E_TMP/other-run"
for case in "another runtime folder|XDG_RUNTIME_DIR=$E2E_TMP/other-run" \
    "no runtime folder|-u XDG_RUNTIME_DIR"; do
    what=${case%%|*}
    # shellcheck disable=SC2086 # the case's environment change is one word or two
    e2e_spawn "copy-${what// /-}" env ${case#*|} "$PIMBOLET_BIN"
    expect_refused_copy "a copy with $what"
done
expect "there is still one pet on the desktop" [ "$(windows_named Pimbolet | while read -r id; do
    window_viewable "$id" && echo "$id"; done | wc -l)" -eq 1 ]

e2e_finish
