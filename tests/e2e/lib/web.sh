# shellcheck shell=bash
# The maker's web site and the program's own folder.

# private_program_copy: a copy of the program with its cdata/ in a folder of this test, so that
# what the program writes there stays out of the build. Sets E2E_PROGRAM (the copy) and
# E2E_UPDATE_FILE (where its update check keeps the update file).
private_program_copy() {
    local dir=$E2E_TMP/program
    mkdir -p "$dir"
    cp "$PIMBOLET_BIN" "$dir/"
    cp -r "$(dirname "$PIMBOLET_BIN")/cdata" "$dir/"
    # shellcheck disable=SC2034 # both are handed to the test
    E2E_PROGRAM=$dir/$(basename "$PIMBOLET_BIN") E2E_UPDATE_FILE=$dir/cdata/update.koz
}

# start_web_site DIR: an HTTP server on 127.0.0.1 serving DIR (404 for what is not there), made
# the maker's web site for the programs started from here on; its port is in E2E_WEB_PORT.
start_web_site() {
    serve_web_site python3 -u -m http.server --bind 127.0.0.1 --directory "$1" 0
}

# start_hostile_web_site KIND: the maker's web site answers every request with the hostile
# answer KIND of hostile_web_site.py (an endless header, say), as fast as it is taken.
start_hostile_web_site() {
    serve_web_site python3 -u "$E2E_DIR/hostile_web_site.py" "$1"
}

# serve_web_site COMMAND...: starts a web server that prints "port N" once it listens on
# 127.0.0.1, and makes it the maker's web site.
serve_web_site() {
    local log=$E2E_LOGS/web-site-$(($(wc -l <"$E2E_PIDFILE") + 1)).log
    e2e_spawn "$(basename "$log" .log)" "$@"
    E2E_WEB_PID=$E2E_LAST_PID
    wait_until 10 grep -q 'port [0-9]' "$log" || die "the web site did not start"
    E2E_WEB_PORT=$(grep -o 'port [0-9]*' "$log" | head -1 | cut -d' ' -f2)
    export PIMBOLET_WEB_HOST=127.0.0.1:$E2E_WEB_PORT
}

# stop_web_site: the server ends; its port now refuses connections.
stop_web_site() {
    kill "$E2E_WEB_PID" 2>/dev/null
    wait_for_exit "$E2E_WEB_PID" 5
}

# update_file TEXT: the update file the web site offers (printf escapes such as \r\n work).
update_file() {
    mkdir -p "$E2E_TMP/site/koz"
    # shellcheck disable=SC2059 # the text carries the line ends as escapes
    printf "$1" >"$E2E_TMP/site/koz/update.koz"
}

# use_stand_in_browser: web pages the program opens are written, one address a line, to
# E2E_OPENED instead of reaching a browser.
use_stand_in_browser() {
    E2E_OPENED=$E2E_TMP/opened
    mkdir -p "$E2E_TMP/bin"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$E2E_OPENED" >"$E2E_TMP/bin/xdg-open"
    chmod +x "$E2E_TMP/bin/xdg-open"
    export PATH=$E2E_TMP/bin:$PATH
    unset BROWSER DEFAULT_BROWSER
}

# start_against_hostile_site KIND PROGRAM SECONDS: the program starts with the hostile web site
# KIND (see start_hostile_web_site) for the maker's and is ended once its pet shows, at most
# SECONDS later (false if it did not). E2E_SHOWN_MS is then how long the pet took to show,
# E2E_CPU_MS the processor time and E2E_PEAK_KIB the most memory the program had used by then.
start_against_hostile_site() {
    local kind=$1 program=$2 seconds=$3 started pid shown=0
    start_hostile_web_site "$kind"
    started=$(now_ms)
    start_pet "$program" >/dev/null
    pid=$E2E_LAST_PID
    wait_for_window Pimbolet "$seconds" >/dev/null && shown=1
    # shellcheck disable=SC2034 # handed to the caller
    E2E_SHOWN_MS=$(($(now_ms) - started)) E2E_CPU_MS=$(cpu_ms "$pid") \
        E2E_PEAK_KIB=$(memory_kib "$pid" VmHWM)
    kill "$pid"
    wait_for_exit "$pid" 5 || die "the pet did not end"
    stop_web_site
    [ "$shown" = 1 ]
}
