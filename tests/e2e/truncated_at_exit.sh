#!/usr/bin/env bash
# Another program shrinks a 50 MB settings file while the pet reads and writes it on its way
# out: in every one of 20 rounds the pet ends with status 0 or 1 (the save did or did not go
# through), never by a signal, and it leaves no temporary file behind.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

big=$E2E_TMP/big.ini
awk 'BEGIN { print "[Settings]"; for (i = 0; i < 2370000; i++) printf "key%07d=%010d\n", i, i
             print "birth=2025-01-02 03:04:05" }' >"$big"
file=$(settings_file)
mkdir -p "$(dirname "$file")"
log "a settings file of $(($(stat -c %s "$big") / 1000000)) MB"

signalled=0
for round in $(seq 1 20); do
    cp "$big" "$file"
    start_pet
    pid=$E2E_LAST_PID
    wait_for_window Pimbolet 20 >/dev/null || die "round $round: the pet did not appear"
    kill -TERM "$pid"
    # A little later each round, so that the cut falls at another point of the save.
    sleep "0.0$((round % 10))"
    truncate -s 20 "$file"
    await_exit "$pid" 20 || die "round $round: the pet did not end"
    if [ "$E2E_STATUS" -gt 1 ]; then
        signalled=$((signalled + 1))
        log "round $round: status $E2E_STATUS"
    fi
done
expect "no round ended by a signal ($signalled did)" [ "$signalled" = 0 ]
leftovers=$(find "$(dirname "$file")" -name '*.saving-*' | wc -l)
expect "no temporary file is left ($leftovers are)" [ "$leftovers" = 0 ]

e2e_finish
