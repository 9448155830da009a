#!/usr/bin/env bash
# A standing pet now and then makes a remark, and it is heard: the sound reaches the sound
# server's output. The egg is silent; the newly hatched pet stands facing the user for eight
# seconds, remarking on about one tick in eleven, and keeps remarking whenever it stands.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

start_pet
wait_for_window Egg 10 >/dev/null || die "the egg window did not appear"
record_audio 6 "$E2E_ARTIFACTS/egg.wav" || die "nothing could be recorded from the sound server"
expect "the egg makes no sound" not is_loud "$E2E_ARTIFACTS/egg.wav"

wait_for_window Pimbolet 10 >/dev/null || die "the pet did not hatch"
hatched=$(now_ms)
heard=""
# Two-second takes until one holds a remark; standing still, a remark comes within a few
# seconds, and the chance of none in forty is well below one in a hundred.
for take in $(seq 1 20); do
    record_audio 2 "$E2E_ARTIFACTS/take-$take.wav" || continue
    if is_loud "$E2E_ARTIFACTS/take-$take.wav" 0.05; then
        heard=$take
        break
    fi
done
expect "a remark is heard within 40 s of hatching" [ -n "$heard" ]
if [ -n "$heard" ]; then
    log "heard in take $heard, $(($(now_ms) - hatched)) ms after hatching: peak $(max_amplitude "$E2E_ARTIFACTS/take-$heard.wav")"
fi
e2e_finish
