#!/usr/bin/env bash
# The runtime folder is one that all users share, sticky like /tmp, and another user has made the
# pet's mark there and holds its lock: the pet starts all the same and leaves nothing in that
# folder, for there only the mark beside its settings counts. That mark still refuses a second
# copy.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

store_birth "2020-01-02 03:04:05"
shared=$E2E_TMP/shared
mkdir -m 1777 "$shared"
chmod o+x "$E2E_TMP"
hash=$(printf '%s' "$(realpath "$(settings_file)")" | sha1sum | cut -c1-20)
mark=$shared/pimbolet-$hash.lock
e2e_spawn other-user setpriv --reuid=nobody --regid=nogroup --clear-groups \
    flock --no-fork "$mark" sleep 600
wait_until 5 not flock -n "$mark" true || die "the other user holds no lock on $mark"
pass "another user holds the mark $(basename "$mark") (owner $(stat -c %U "$mark"))"

export XDG_RUNTIME_DIR=$shared
start_pet
first=$E2E_LAST_PID
first_log=$E2E_LAST_LOG
if pet=$(wait_for_window Pimbolet 10); then
    pass "the pet starts"
else
    fail "the pet starts"
    expect "no \"Already Running\" box" not visible_window "KOZ - Already Running"
    die "the other user's mark kept the pet out"
fi
expect "no \"Already Running\" box" not visible_window "KOZ - Already Running"
expect "the pet made nothing in the shared folder" [ "$(ls -A "$shared")" = "$(basename "$mark")" ]
expect "nothing was said of a lock" not grep -q "cannot lock" "$first_log"

start_pet
expect_refused_copy "a second copy, by the mark beside the settings,"
expect "the first copy still runs" process_running "$first"
expect "its pet is still shown" window_viewable "$pet"

e2e_finish
