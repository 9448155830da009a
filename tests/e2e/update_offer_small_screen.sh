#!/usr/bin/env bash
# A newer version with ten thousand long lines of notes (about 1 MB) on an 800x600 screen: the
# "New Version!" box comes at once and stands wholly on the screen, its Yes and No buttons
# included; No lets the pet start.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
SCREEN_W=800 SCREEN_H=600 PRIMARY_W=800 PRIMARY_H=600
e2e_start_desktop

private_program_copy
mkdir -p "$E2E_TMP/site/koz"
awk 'BEGIN {
    # Lines of words, longer than a line of the box: each wraps, as real notes would.
    printf "4.2 beta\r\n"
    while (length(line) < 97) line = line "Pimbolet walks further "
    for (i = 1; i <= 10000; i++) printf "%s\r\n", substr(line, 1, 97)
}' >"$E2E_TMP/site/koz/update.koz"
start_web_site "$E2E_TMP/site"
use_stand_in_browser
store_birth "2020-01-02 03:04:05"

started=$(now_ms)
start_pet "$E2E_PROGRAM"
box=$(wait_for_window "New Version!" 10) || die "no \"New Version!\" message"
pass "\"New Version!\" asks after $(($(now_ms) - started)) ms"
sleep 0.5
screenshot small-screen-offer >/dev/null
read -r x y w h < <(window_geometry "$(toplevel_of "$box")") || die "the box has no place"
log "the box with its frame: ${w}x${h}+${x}+${y}"
expect "the box with its frame is on the 800x600 screen" \
    test "$x" -ge 0 -a "$y" -ge 0 -a $((x + w)) -le 800 -a $((y + h)) -le 600
press_key "$box" Escape
expect "after No the pet starts" wait_for_window Pimbolet 10

e2e_finish
