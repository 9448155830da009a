#!/usr/bin/env bash
# Makes docs/screenshot.png again: the pet on a small desktop of its own (Xvfb, openbox and a
# tint2 panel with the tray) with its menu open at "Program", the tray icon in the corner.
# Run it from the source tree after a build (scripts/run builds into build/):
#     docs/make_screenshot.sh [path/to/pimbolet]
# It needs the end-to-end tests' tools (scripts/setup installs them).
here=$(cd "$(dirname "$0")" && pwd)
PIMBOLET_BIN=${1:-${PIMBOLET_BIN:-$here/../build/src/pimbolet}}
[ -x "$PIMBOLET_BIN" ] || {
    echo "no program at $PIMBOLET_BIN: build it first (scripts/run) or name it" >&2
    exit 2
}
export PIMBOLET_BIN E2E_ARTIFACTS=${E2E_ARTIFACTS:-${TMPDIR:-/tmp}/pimbolet-screenshot}
# shellcheck source=../tests/e2e/harness.sh
source "$here/../tests/e2e/harness.sh"
e2e_start_desktop
xsetroot -solid '#5b87b0'

# These random choices bring the pet in from the right, low on the screen, near the tray.
export PIMBOLET_SEED=6
unset PIMBOLET_WEB_HOST
start_later_run
tray_up() { tray_icon "$1" >/dev/null; }
wait_until 10 tray_up "$E2E_LAST_PID" || die "the tray icon did not dock"
# Let it walk well in before the menu is opened.
wait_until 30 pet_point "$E2E_PET" 0 0 >/dev/null || die "the pet did not walk in"
sleep 4
pet_menu "$E2E_PET" >/dev/null || die "the pet menu did not open"
# Down to "Program" (the separator is passed over) and into its submenu.
choose Down Down Down Right
sleep 0.5
shot=$(screenshot desktop) || die "no screenshot"
convert "$shot" -crop 560x320+720+704 +repage "$here/screenshot.png" ||
    die "the screenshot could not be cut"
pass "made $here/screenshot.png"
choose Escape Escape
e2e_finish
