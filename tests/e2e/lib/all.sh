# shellcheck shell=bash
# shellcheck source-path=SCRIPTDIR
# The desktop library: desktops of their own (Xvfb, openbox, tint2, PulseAudio) for the
# end-to-end tests (through harness.sh), the X11 integration tests and the benchmarks, and the
# look-ups and actions their checks need. Sourcing it makes a private temporary folder, E2E_TMP;
# at the exit every process started through e2e_spawn is stopped by its process id and the folder
# is removed.
#
# Read when sourced: E2E_ARTIFACTS (where screenshots and the logs of what was started are kept;
# none are kept when it is unset), SCREEN_W and SCREEN_H (the display's size, 1280x1024 unless
# set), E2E_DISPLAY (see displays.sh). Read by the pet's helpers: PIMBOLET_BIN (the built
# program, cdata/ beside it) and E2E_SOURCE_DIR (the source tree, for the sprite sheet).

set -uo pipefail
export LC_ALL=C

E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_DIR=$(dirname "$E2E_LIB")
: "${E2E_SOURCE_DIR:=$(cd "$E2E_DIR/../.." && pwd)}"
: "${SCREEN_W:=1280}" "${SCREEN_H:=1024}"
[ -z "${E2E_ARTIFACTS:-}" ] || mkdir -p "$E2E_ARTIFACTS"

# shellcheck source=report.sh
source "$E2E_LIB/report.sh"
# shellcheck source=processes.sh
source "$E2E_LIB/processes.sh"
# shellcheck source=desktop.sh
source "$E2E_LIB/desktop.sh"
# shellcheck source=displays.sh
source "$E2E_LIB/displays.sh"
# shellcheck source=pet.sh
source "$E2E_LIB/pet.sh"
# shellcheck source=windows.sh
source "$E2E_LIB/windows.sh"
# shellcheck source=input.sh
source "$E2E_LIB/input.sh"
# shellcheck source=pictures.sh
source "$E2E_LIB/pictures.sh"
# shellcheck source=sound.sh
source "$E2E_LIB/sound.sh"
# shellcheck source=web.sh
source "$E2E_LIB/web.sh"
# shellcheck source=menus.sh
source "$E2E_LIB/menus.sh"
