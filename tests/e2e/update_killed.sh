#!/usr/bin/env bash
# The pet is killed (kill -9) while it saves the update file it has fetched, the save held up where
# it waits for the disk to take it: the temporary file it was writing stays in cdata/. The next start removes
# it, and only what such saves leave: a file of the user's that looks alike and one of another
# user's are kept.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop
command -v strace >/dev/null || die "strace is missing (scripts/setup installs it)"

private_program_copy
data=$(dirname "$E2E_UPDATE_FILE")
# The version the pet is, so that no box asks, with release notes that make the file large.
mkdir -p "$E2E_TMP/site/koz"
{
    printf '4.1 beta\r\n'
    for i in $(seq 9000); do printf 'Release note %05d of a long list, kept for the size.\r\n' "$i"; done
} >"$E2E_TMP/site/koz/update.koz"
start_web_site "$E2E_TMP/site"
store_birth "2020-01-02 03:04:05"

temporaries() { find "$data" -maxdepth 1 -name 'update.koz.?*' -printf '%f\n'; }
some_temporary() { [ -n "$(temporaries)" ]; }

# The pet's first wait for the disk is the update file's save, after its last write: strace stops
# the pet there (it keeps its process id, strace -D) for as long as the disk might take.
e2e_spawn pimbolet-stopped strace -D -f -o "$E2E_LOGS/strace.log" -e trace=fsync \
    -e inject=fsync:signal=SIGSTOP "$E2E_PROGRAM"
saving=$E2E_LAST_PID
wait_until 20 some_temporary || die "no temporary file appeared while the update file was saved"
left=$(temporaries)
kill -KILL "$saving"
wait_for_exit "$saving" 5 || die "the pet did not end at kill -9"
expect "the killed save left $left ($(stat -c %s "$data/$left") bytes)" test -f "$data/$left"

# Beside it, the user's own file of a like name and another user's file of the very same form.
echo kept >"$data/update.koz.saving-backup"
other=${left%??}Zz
[ "$other" != "$left" ] || other=${left%??}Yy
echo kept >"$data/$other"
chown nobody "$data/$other"

start_pet "$E2E_PROGRAM"
wait_for_window Pimbolet 10 >/dev/null || die "the next start showed no pet"
pass "the next start shows the pet"
expect "the killed save's temporary file is gone" not test -e "$data/$left"
expect "the user's update.koz.saving-backup is kept" grep -qx kept "$data/update.koz.saving-backup"
expect "another user's file is kept" grep -qx kept "$data/$other"
rest=$(temporaries | grep -vx -e update.koz.saving-backup -e "$other" | tr '\n' ' ')
expect "nothing else is left in cdata/ (${rest:-nothing})" [ -z "$rest" ]

e2e_finish
