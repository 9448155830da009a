#!/usr/bin/env bash
# The lock file beside the settings is a folder, so it cannot be opened: the pet still starts,
# takes its lock in the runtime folder instead, says in one line that it could not lock the file
# beside the settings, and a second copy is refused with its box as ever. The copy that takes the
# lock removes the temporary files of saves cut short by kill -9, and only those.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

store_birth "2020-01-02 03:04:05"
file=$(settings_file)
mkdir "$file.lock"
# What saves killed half-way leave behind, and files of the user's that only look alike.
head -c 1000000 /dev/zero >"$file.pimbolet-saving-Q7xk2PmN4vLz"
head -c 1000000 /dev/zero >"$file.pimbolet-saving-a1B2c3d4E5f6"
users_files=("$file.backup" "$file.saving-backup" "$file.saving-2024q1")
for kept in "${users_files[@]}"; do echo kept >"$kept"; done

start_pet
first=$E2E_LAST_PID
first_log=$E2E_LAST_LOG
pet=$(wait_for_window Pimbolet 10) || die "the pet did not start with a folder for its lock file"
pass "the pet starts with a folder where its lock file belongs"
left=$(find "$(dirname "$file")" -name '*.pimbolet-saving-*' | wc -l)
expect "the temporary files of cut-short saves are gone ($left left)" [ "$left" -eq 0 ]
for kept in "${users_files[@]}"; do
    expect "the user's look-alike $(basename "$kept") is kept" grep -qx kept "$kept"
done
expect "the lock file is still the folder it was" test -d "$file.lock"

start_pet
expect_refused_copy "a second copy"
expect "the first copy still runs" process_running "$first"
expect "its pet is still shown" window_viewable "$pet"
said=$(grep -c "^pimbolet: cannot lock $file.lock " "$first_log")
expect "the first copy said once that it cannot lock the file beside the settings ($said)" \
    [ "$said" -eq 1 ]

e2e_finish
