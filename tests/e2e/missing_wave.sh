#!/usr/bin/env bash
# A program folder that lacks one of its wave files shows "Load Error" and ends once the box is
# dismissed, with status 1 and without showing the pet; one line on standard error names the
# file and the folder; the missing file wins over another copy already running.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

broken=$E2E_TMP/broken
mkdir -p "$broken"
cp "$PIMBOLET_BIN" "$broken/"
cp -r "$(dirname "$PIMBOLET_BIN")/cdata" "$broken/"
rm "$broken/cdata/laugh.wav"
store_birth "2020-01-02 03:04:05"

# Standard error apart, so that only its lines are counted.
errors=$E2E_TMP/stderr.txt
"$broken/$(basename "$PIMBOLET_BIN")" </dev/null >>"$E2E_LOGS/broken-out.log" 2>"$errors" &
lonely=$!
echo "$lonely" >>"$E2E_PIDFILE"
box=$(wait_for_window "Load Error" 10) || die "no \"Load Error\" box"
pass "a missing wave file shows \"Load Error\""
said=$(cat "$errors")
cp "$errors" "$E2E_LOGS/broken-stderr.log"
expect "one line on standard error names laugh.wav and the folder looked in (it wrote: $said)" \
    [ "$said" = "pimbolet: required files are missing from $broken/cdata: laugh.wav" ]
sleep 0.5
others=$(visible_windows_of "$lonely" | grep -v "^$box ")
expect "no pet, egg or banner comes up${others:+ (shown: $others)}" [ -z "$others" ]
screenshot load-error >/dev/null
press_key "$box" Return
await_exit "$lonely" 5
expect "the program ends with status 1 when the box is dismissed (${E2E_STATUS:-still running})" \
    [ "$E2E_STATUS" = 1 ]
expect "no pet window was left behind" not visible_window Pimbolet

start_pet
good=$E2E_LAST_PID
wait_for_window Pimbolet 10 >/dev/null || die "the complete copy's pet window did not appear"
start_pet "$broken/$(basename "$PIMBOLET_BIN")"
late=$E2E_LAST_PID
box=$(wait_for_window "Load Error" 10)
expect "with another copy running the missing file is still what is reported" [ -n "$box" ]
expect "and no \"KOZ - Already Running\" box comes" not visible_window "KOZ - Already Running"
[ -n "$box" ] && press_key "$box" Return
expect "the broken copy ends when the box is dismissed" wait_for_exit "$late" 5
expect "the complete copy is still running" process_running "$good"

e2e_finish
