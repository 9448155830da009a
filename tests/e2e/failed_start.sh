#!/usr/bin/env bash
# A start that fails once the egg and the banner are up (the settings folder cannot be made, so
# the birth date cannot be stored): "Oh Dear, and error has occured" waits with everything
# behind it held still (the egg does not hatch at its tenth second, the banner does not slide),
# its text at the box's left margin; answering it ends the program with status 1, and so does
# SIGTERM while it waits.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# A file where the settings folder would go.
echo "not a folder" >"$XDG_CONFIG_HOME/pimbolet"
start_pet
pid=$E2E_LAST_PID
box=$(wait_for_window "virtual pet Pimbolet" 10) || die "no error message"
egg=$(visible_window Egg) || die "no egg behind the message"
banner=$(visible_window splash) || die "no banner behind the message"
banner_at=$(window_geometry "$banner")
sleep 11
shot=$(screenshot failed-start) || die "no screenshot"
# The message is wrapped in a box wider than its lines; the text above the button begins at the
# box's left margin, not in its middle.
read -r bx by bw bh < <(window_geometry "$box")
column=$(first_dark_column "$shot" "${bw}x$((bh - $(px 40)))+$bx+$by")
expect "the message's text begins within 40 px of the box's left edge (${column:-none} px)" \
    [ "${column:-9999}" -le 40 ]
expect "the egg has not hatched after 11 s" not visible_window Pimbolet
expect "the egg still lies there" window_viewable "$egg"
expect "the banner has not moved" [ "$(window_geometry "$banner")" = "$banner_at" ]
press_key "$box" Return
await_exit "$pid" 5
expect "answering the message ends the program with status 1 (${E2E_STATUS:-still running})" \
    [ "$E2E_STATUS" = 1 ]

start_pet
pid=$E2E_LAST_PID
wait_for_window "virtual pet Pimbolet" 10 >/dev/null || die "no error message at the second start"
kill -TERM "$pid"
await_exit "$pid" 5
expect "SIGTERM while the message waits ends the program with status 1 (${E2E_STATUS:-still running})" \
    [ "$E2E_STATUS" = 1 ]
e2e_finish
