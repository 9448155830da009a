#!/usr/bin/env bash
# A first run whose output goes into a pipe nobody reads any more (`pimbolet 2>&1 | true`) lives
# on: its first line, the skipped update check, is a failed write, not its end. Under umask 077
# the settings folders it makes are 0700 and the settings file with the birth date is 0600.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# No config folder yet: the program makes every one of them.
export XDG_CONFIG_HOME=$E2E_TMP/fresh/config
umask 077

# A pipe whose reader has ended before the pet writes anything.
exec 3> >(exec true)
sleep 0.3
"$PIMBOLET_BIN" </dev/null >&3 2>&3 &
pid=$!
echo "$pid" >>"$E2E_PIDFILE"
exec 3>&-
log "started the pet, pid $pid, output into a closed pipe"

egg=$(wait_for_window Egg 10) || die "the egg did not appear"
pass "the egg appears"
# The update check has said its line by the time the egg is shown; give a late line time too.
sleep 2
await_exit "$pid" 0
expect "the pet still runs after writing into the closed pipe (${E2E_STATUS:-running})" \
    process_running "$pid"
expect "the egg is still shown" window_viewable "$egg"
screenshot egg-after-closed-pipe >/dev/null

file=$(settings_file)
wait_until 5 test -s "$file" || fail "no settings file was written"
mode() { stat -c %a "$1" 2>/dev/null; }
expect "the new settings file is 600 ($(mode "$file"))" [ "$(mode "$file")" = 600 ]
for folder in "$E2E_TMP/fresh" "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME/pimbolet"; do
    expect "the new folder ${folder#"$E2E_TMP"/} is 700 ($(mode "$folder"))" \
        [ "$(mode "$folder")" = 700 ]
done
expect "the birth date is in it" grep -q '^birth=' "$file"

e2e_finish
