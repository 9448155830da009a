#!/usr/bin/env bash
# A newer version with notes the box cannot hold on an 800x600 screen: ten thousand long lines
# (about 1 MB), ten lines of forty short ones parted by Unicode line and paragraph separators,
# and lines of wide characters.
# The "New Version!" box comes at once and stands wholly on the screen, its Yes and No buttons
# included; No lets the pet start.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
SCREEN_W=800 SCREEN_H=600 PRIMARY_W=800 PRIMARY_H=600
e2e_start_desktop

private_program_copy
mkdir -p "$E2E_TMP/site/koz"
start_web_site "$E2E_TMP/site"
use_stand_in_browser
store_birth "2020-01-02 03:04:05"

# offer_fits NAME: the pet starts, asks, and the box fits the screen; after No the pet starts.
offer_fits() {
    local started box x y w h pet_pid
    started=$(now_ms)
    start_pet "$E2E_PROGRAM"
    pet_pid=$E2E_LAST_PID
    box=$(wait_for_window "New Version!" 10) || die "$1: no \"New Version!\" message"
    pass "$1: \"New Version!\" asks after $(($(now_ms) - started)) ms"
    sleep 0.5
    screenshot "small-screen-offer-$1" >/dev/null
    read -r x y w h < <(window_geometry "$(toplevel_of "$box")") || die "$1: the box has no place"
    log "$1: the box with its frame: ${w}x${h}+${x}+${y}"
    expect "$1: the box with its frame is on the 800x600 screen" \
        test "$x" -ge 0 -a "$y" -ge 0 -a $((x + w)) -le 800 -a $((y + h)) -le 600
    press_key "$box" Escape
    expect "$1: after No the pet starts" wait_for_window Pimbolet 10
    kill "$pet_pid"
    wait_for_exit "$pet_pid" 5 || die "the pet did not end"
}

awk 'BEGIN {
    # Lines of words, longer than a line of the box: each wraps, as real notes would.
    printf "4.2 beta\r\n"
    while (length(line) < 97) line = line "Pimbolet walks further "
    for (i = 1; i <= 10000; i++) printf "%s\r\n", substr(line, 1, 97)
}' >"$E2E_TMP/site/koz/update.koz"
offer_fits long-lines

awk 'BEGIN {
    printf "4.2 beta\r\n"
    for (i = 1; i <= 10; i++) {
        for (j = 1; j <= 20; j++) printf "walk\342\200\250" "jump\342\200\251"
        printf "\r\n"
    }
}' >"$E2E_TMP/site/koz/update.koz"
offer_fits separators

# Lines of a hundred wide characters: cut to eighty characters, not eighty bytes, they still fit.
awk 'BEGIN {
    printf "4.2 beta\r\n"
    for (i = 1; i <= 11; i++) {
        for (j = 1; j <= 100; j++) printf "\346\274\242"
        printf "\r\n"
    }
}' >"$E2E_TMP/site/koz/update.koz"
offer_fits wide-han

e2e_finish
