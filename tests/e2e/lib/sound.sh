# shellcheck shell=bash
# Sound: what the pet plays reaches the null sink's monitor.

# record_audio SECONDS FILE: records the null sink's monitor into a WAV file, blocking.
record_audio() {
    timeout --signal=INT "$1" parecord --device=null.monitor --latency-msec=20 \
        --file-format=wav "$2" 2>>"$E2E_LOGS/parecord.log"
    [ -s "$2" ]
}

# start_recording FILE / stop_recording: the same around an action of the test.
start_recording() {
    e2e_spawn parecord parecord --device=null.monitor --latency-msec=20 --file-format=wav "$1"
    E2E_RECORDER=$E2E_LAST_PID
}

stop_recording() {
    kill -INT "$E2E_RECORDER" 2>/dev/null
    wait_for_exit "$E2E_RECORDER" 5
}

# Loudest sample of a recording, from 0 to 1.
max_amplitude() { sox "$1" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }'; }

# is_loud FILE [THRESHOLD]: something was heard (the keep-alive stream alone is silence).
is_loud() {
    local peak
    peak=$(max_amplitude "$1")
    [ -n "$peak" ] && awk -v p="$peak" -v t="${2:-0.01}" 'BEGIN { exit !(p > t) }'
}

# first_sound_seconds FILE: how long the first sound heard in a recording lasts (until a tenth of
# a second of silence).
first_sound_seconds() {
    sox "$1" -n silence 1 0.01 1% 1 0.1 1% stat 2>&1 | awk '/^Length/ { print $3 }'
}
