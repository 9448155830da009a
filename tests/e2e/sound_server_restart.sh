#!/usr/bin/env bash
# The sound server goes away while the pet lives and comes back: the pet goes on without it,
# costs nothing meanwhile, and its sounds are heard again as soon as the server is back.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_later_run
pid=$E2E_LAST_PID
pet=$E2E_PET

# tickle NAME: tickles the pet from its menu and records the next two seconds as NAME.wav.
tickle() {
    start_recording "$E2E_ARTIFACTS/$1.wav"
    pet_menu "$pet" >/dev/null || return 1
    choose Down Return
    sleep 2
    stop_recording
}

tickle before || die "the pet menu did not open"
expect "the laugh is heard" is_loud "$E2E_ARTIFACTS/before.wav" 0.05
# Sent once into the server's sample cache, played from there by name.
expect "the laugh is kept in the sound server's cache" \
    grep -q pimbolet- < <(pactl list samples short 2>/dev/null)

stop_sound
log "the sound server is gone"
ticks=$(cpu_ticks "$pid")
# Longer than any retry interval a sound library might use, and a sound asked for meanwhile.
sleep 4
pet_menu "$pet" >/dev/null && choose Down Return
sleep 2
used=$(($(cpu_ticks "$pid") - ticks))
expect "the pet lives on without its sound server" process_running "$pid"
# Not a figure to reach (bench/ has those): a pet that kept trying would use a whole core.
expect "and costs next to nothing meanwhile (${used} clock ticks)" [ "$used" -lt 120 ]

e2e_start_sound
log "the sound server is back"
sleep 1
tickle after || die "the pet menu did not open after the server's return"
expect "the laugh is heard again after the server's return" is_loud "$E2E_ARTIFACTS/after.wav" 0.05
expect "and is sent again to the new server's cache" \
    grep -q pimbolet- < <(pactl list samples short 2>/dev/null)
expect "the pet is a client of the new server" \
    grep -q "application.process.id = \"$pid\"" < <(pactl list clients 2>/dev/null)
e2e_finish
