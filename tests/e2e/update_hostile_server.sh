#!/usr/bin/env bash
# A maker's web site that answers without end, as fast as it is taken: header lines without
# end, one header line without end, "100 Continue" answers without end, a chunk-size line or a
# chunk extension without end, and a body of 1 MB sent a byte a chunk. The update check gives
# up or finishes at once: the pet shows well before the network's 60 s deadline, having spent
# little processor time and memory (generous bounds: bench/hostile_web_site.sh has the figures).
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

private_program_copy
store_birth "2020-01-02 03:04:05"

for kind in header-lines header-line continues chunk-size chunk-extension one-byte-chunks; do
    if start_against_hostile_site "$kind" "$E2E_PROGRAM" 25; then
        pass "$kind: the pet shows after $E2E_SHOWN_MS ms"
    else
        fail "$kind: the pet did not show within 25 s"
    fi
    log "$kind: ${E2E_CPU_MS} ms of processor time, at most ${E2E_PEAK_KIB} KiB resident"
    expect "$kind: under 3 s of processor time" test "$E2E_CPU_MS" -lt 3000
    expect "$kind: under 60 MB resident" test "$E2E_PEAK_KIB" -lt 60000
    expect "$kind: no update file is left" not test -e "$E2E_UPDATE_FILE"
done

e2e_finish
