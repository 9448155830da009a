#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# on_private_display.sh COMMAND...: runs the command on an X server of its own (Xvfb 1280x1024,
# nothing else on it), started through the desktop library and stopped when the command ends.
# Its exit status is the command's.
SCREEN_W=1280
SCREEN_H=1024
# shellcheck source=../e2e/lib/all.sh
source "$(dirname "$0")/../e2e/lib/all.sh"
e2e_start_watchdog
e2e_start_xvfb
"$@"
exit $?
