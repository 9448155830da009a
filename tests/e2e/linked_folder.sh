#!/usr/bin/env bash
# The settings folder is a link to a folder kept elsewhere, and the settings file in it a relative
# link, ../dotfiles/pet.ini: the pet reads, writes and marks as running the file the system opens
# (the dotfiles folder beside the real settings folder), and an unrelated file where ".." taken
# as text would lead stays as it was.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

kept=$E2E_TMP/kept
mkdir -p "$kept/pimbolet" "$kept/dotfiles" "$XDG_CONFIG_HOME/dotfiles"
ln -s "$kept/pimbolet" "$XDG_CONFIG_HOME/pimbolet"
ln -s ../dotfiles/pet.ini "$(settings_file)"
real=$kept/dotfiles/pet.ini
printf '[Settings]\nbirth=2025-01-02 03:04:05\n' >"$real"
decoy=$XDG_CONFIG_HOME/dotfiles/pet.ini
echo "the user's own file" >"$decoy"
cp "$decoy" "$E2E_TMP/decoy-before"

start_pet
pid=$E2E_LAST_PID
wait_for_window Pimbolet 10 >/dev/null || die "the pet born before did not walk in (the birth read)"
expect "the running mark lies beside the file read" [ -f "$real.lock" ]
expect "no mark beside the unrelated file" [ ! -e "$decoy.lock" ]

tray_click "$pid" >/dev/null || die "the tray menu did not open"
choose Down Down Down Down Down Return
await_exit "$pid" 5
expect "Exit ends the program with status 0, without a message (${E2E_STATUS:-running})" \
    [ "$E2E_STATUS" = 0 ]
expect "the options are stored in the file read" grep -q '^ontop=1' "$real"
expect "the birth is still there" grep -q '^birth=2025-01-02 03:04:05' "$real"
expect "the unrelated file is untouched" cmp -s "$decoy" "$E2E_TMP/decoy-before"
expect "nothing else was made beside the unrelated file" \
    [ "$(find "$XDG_CONFIG_HOME/dotfiles" | wc -l)" = 2 ]
expect "the settings file and its folder are still links" \
    [ -L "$(settings_file)" -a -L "$XDG_CONFIG_HOME/pimbolet" ]
e2e_finish
