# shellcheck shell=bash
# shellcheck source-path=SCRIPTDIR
# Sourced by every end-to-end test. Gives the test a desktop of its own (Xvfb on a free display,
# openbox, tint2 with a system tray) and a PulseAudio of its own whose default sink is a null
# sink, starts the pet in it and offers the look-ups the checks need. Each test runs alone in a
# temporary folder, so several can run at once; on exit every process it started is stopped by
# its process id. The helpers are those of the desktop library in lib/, one file a concern.
#
# From CTest: PIMBOLET_BIN (the built program, cdata/ beside it), E2E_SOURCE_DIR (the source
# tree, for the sprite sheet) and E2E_ARTIFACTS (where screenshots and logs are kept).

E2E_NAME=$(basename "$0" .sh)
: "${PIMBOLET_BIN:?PIMBOLET_BIN must name the built program}"
: "${E2E_ARTIFACTS:=${TMPDIR:-/tmp}/pimbolet-e2e-artifacts/$E2E_NAME}"
PIMBOLET_BIN=$(realpath "$PIMBOLET_BIN")
SCREEN_W=1280
SCREEN_H=1024

# shellcheck source=lib/all.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/all.sh"
rm -f "$E2E_ARTIFACTS"/*.png "$E2E_ARTIFACTS"/*.log "$E2E_ARTIFACTS"/*.wav
