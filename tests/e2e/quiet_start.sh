#!/usr/bin/env bash
# A build that names no web site has no update to check: started as a later run it comes up,
# shows its banner and walks in without writing anything on standard error, and without loading
# the web library.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

unset PIMBOLET_WEB_HOST
store_birth "2020-01-02 03:04:05"
errors=$E2E_TMP/stderr.txt
started=$(now_ms)
# Standard error apart from standard output, so that only it is judged.
"$PIMBOLET_BIN" </dev/null >>"$E2E_LOGS/pimbolet-out.log" 2>"$errors" &
pet_pid=$!
echo "$pet_pid" >>"$E2E_PIDFILE"

wait_for_window Pimbolet 10 >/dev/null || die "the pet window did not appear"
pass "the pet appears after $(($(now_ms) - started)) ms"
sleep "$(awk -v ms=$((started + 10000 - $(now_ms))) 'BEGIN { print (ms > 0 ? ms / 1000 : 0) }')"
expect "the pet is still running 10 s after its start" process_running "$pet_pid"
said=$(head -c 300 "$errors")
expect "nothing on standard error in its first 10 s${said:+ (it wrote: $said)}" [ -z "$said" ]
library_mapped "$pet_pid" libcurl
mapped=$?
expect "libcurl is not loaded (status $mapped: 0 loaded, 1 not, 2 unreadable map)" [ "$mapped" = 1 ]
cp "$errors" "$E2E_LOGS/pimbolet-stderr.log"

e2e_finish
