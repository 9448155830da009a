#!/usr/bin/env bash
# A settings file kept by a dotfile manager, a link into another folder and commented by hand:
# the first run stores the birth in the file the link leads to and Exit stores the options
# there too; the link stays a link, and the comments and the keys above every section stay as
# they were.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

dotfiles=$E2E_TMP/dotfiles
mkdir -p "$dotfiles" "$XDG_CONFIG_HOME/pimbolet"
target=$dotfiles/pimbolet.ini
cat >"$target" <<'INI'
# Pimbolet, kept in git
owner=me
[Settings]
; the pet's name, chosen with care
name=Pim
INI
cp "$target" "$E2E_TMP/hand-made.ini"
ln -s ../../dotfiles/pimbolet.ini "$(settings_file)"

# Every line written by hand is still there, in the same order.
hand_made_lines_kept() {
    awk 'NR == FNR { want[++n] = $0; next } $0 == want[k + 1] { k++ } END { exit k != n }' \
        "$E2E_TMP/hand-made.ini" "$target"
}

start_pet
pid=$E2E_LAST_PID
wait_for_window Egg 10 >/dev/null || die "the egg did not appear"
expect "the settings file is still a link" [ -L "$(settings_file)" ]
expect "the birth is stored where the link leads" grep -q '^birth=[0-9]' "$target"
expect "the hand-made lines are kept at the first save" hand_made_lines_kept

tray_click "$pid" >/dev/null || die "the tray menu did not open"
choose Down Down Down Down Down Return
await_exit "$pid" 5
expect "Exit ends the program with status 0 (${E2E_STATUS:-running})" [ "$E2E_STATUS" = 0 ]
expect "the options are stored where the link leads" grep -q '^ontop=1' "$target"
expect "the name is stored once" [ "$(grep -c '^name=' "$target")" = 1 ]
expect "the settings file is still a link after Exit" [ -L "$(settings_file)" ]
expect "the hand-made lines are kept at Exit" hand_made_lines_kept
expect "no temporary file is left beside the target (only the running mark)" \
    [ "$(find "$dotfiles" -type f ! -name pimbolet.ini.lock | wc -l)" = 1 ]
cp "$target" "$E2E_ARTIFACTS/settings.ini"
e2e_finish
