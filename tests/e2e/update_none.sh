#!/usr/bin/env bash
# No news from the maker's web site, or no web site at all: the pet starts without a word and
# without waiting for the network. The same version (also with the line ends, byte-order mark
# and trailing blanks that editors and servers add), a link planted where the update file goes,
# an answer of 404 (whose page is no update file), a server that is not running, no libcurl and
# a program folder that cannot be written.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

private_program_copy
store_birth "2020-01-02 03:04:05"
start_web_site "$E2E_TMP/site"

# starts_quietly WHAT [WRAPPER...]: the pet comes up within 5 s (the network deadline is 60 s)
# and no "New Version!" box with it; then it is ended again.
starts_quietly() {
    local what=$1 started pet_pid
    shift
    started=$(now_ms)
    e2e_spawn "pimbolet-$(($(wc -l <"$E2E_PIDFILE") + 1))" "$@" "$E2E_PROGRAM"
    pet_pid=$E2E_LAST_PID
    if wait_for_window Pimbolet 5 >/dev/null; then
        pass "$what: the pet starts after $(($(now_ms) - started)) ms"
    else
        fail "$what: the pet did not start within 5 s"
    fi
    expect "$what: no \"New Version!\" message" not visible_window "New Version!"
    expect "$what: no update file is left" not test -e "$E2E_UPDATE_FILE"
    kill "$pet_pid"
    wait_for_exit "$pet_pid" 5 || die "the pet did not end"
}

update_file '4.1 beta\r\n'
starts_quietly "the same version"
update_file '4.1 beta\n'
starts_quietly "the same version, its line ended by a line feed alone"
update_file '\xef\xbb\xbf4.1 beta \t\r\nnotes\r\n'
starts_quietly "the same version after a byte-order mark, before a space and a tab"
# A link that another user planted where the update file is written is replaced, never
# followed: nothing is made where it leads.
ln -sfn "$E2E_TMP/planted" "$E2E_UPDATE_FILE"
starts_quietly "a dangling link in place of the update file"
expect "nothing was written where the link led" not test -e "$E2E_TMP/planted"
rm -f "$E2E_TMP/site/koz/update.koz"
starts_quietly "an answer of 404"
update_file '4.2 beta\r\n'
stop_web_site
starts_quietly "no server"
start_web_site "$E2E_TMP/site"

# Without libcurl the check is skipped with a line that names it. The pet alone sees its file
# empty, through a mount namespace of its own, which only root may make.
libcurl=$(ldconfig -p | awk '$1 == "libcurl-gnutls.so.4" { print $NF; exit }')
if [ "$(id -u)" -eq 0 ] && [ -n "$libcurl" ] && unshare --mount true 2>/dev/null; then
    # shellcheck disable=SC2016 # $0 and $@ are the inner shell's
    starts_quietly "libcurl missing" unshare --mount \
        sh -c 'mount --bind /dev/null "$0" && exec "$@"' "$(realpath "$libcurl")"
    expect "the line says why, naming the library" \
        grep -q 'update check skipped: .*libcurl-gnutls\.so\.4.*update\.koz' "$E2E_LAST_LOG"
else
    log "not checked: the check without libcurl (it needs root and a mount namespace)"
fi

# The installed program's folder belongs to root: the update file cannot be written there.
chmod a-w "$(dirname "$E2E_UPDATE_FILE")"
# Root writes anywhere: without the capabilities that pass over file modes it is held to them.
without_write_access=()
caps=-dac_override,-dac_read_search,-fowner
[ "$(id -u)" -eq 0 ] && without_write_access=(setpriv --inh-caps=-all "--bounding-set=$caps" --)
starts_quietly "a program folder that cannot be written" "${without_write_access[@]}"
chmod u+w "$(dirname "$E2E_UPDATE_FILE")"
expect "the check says why it was skipped" \
    grep -q 'update check skipped: .*update.koz' "$E2E_LOGS"/pimbolet-*.log

e2e_finish
