#!/usr/bin/env bash
# Installed with `cmake --install`, the pet has a desktop entry that passes desktop-file-validate
# (named "Pimbolet", with its icon, among games and amusements), its icon in the hicolor theme at
# every size it is drawn at, and no autostart entry; started as the application menu starts it,
# the installed pet comes onto the desktop, and Exit ends it.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
command -v desktop-file-validate >/dev/null ||
    die "desktop-file-validate is missing (scripts/setup installs desktop-file-utils)"

# The build folder that made the program: the nearest one above it with install rules.
build=$(dirname "$PIMBOLET_BIN")
until [ -e "$build/cmake_install.cmake" ] && [ -e "$build/CMakeCache.txt" ]; do
    [ "$build" != / ] || die "no build folder above $PIMBOLET_BIN"
    build=$(dirname "$build")
done
prefix=$E2E_TMP/prefix
cmake --install "$build" --prefix "$prefix" >"$E2E_LOGS/install.log" 2>&1 ||
    die "cmake --install failed: $(tail -n 3 "$E2E_LOGS/install.log")"
entry=$prefix/share/applications/pimbolet.desktop
[ -f "$entry" ] || die "no desktop entry at share/applications/pimbolet.desktop"
cp "$entry" "$E2E_ARTIFACTS/"

expect "desktop-file-validate passes: $(desktop-file-validate "$entry" 2>&1 | head -c 300)" \
    [ -z "$(desktop-file-validate "$entry" 2>&1)" ]
field() { sed -n "s/^$1=//p" "$entry"; }
expect "the entry is named Pimbolet ($(field Name))" [ "$(field Name)" = Pimbolet ]
expect "the entry shows the program's icon ($(field Icon))" [ "$(field Icon)" = pimbolet ]
expect "the entry is among games and amusements ($(field Categories))" \
    grep -Eq '(^|;)Game;(.*;)?Amusement;|(^|;)Amusement;(.*;)?Game;' <<<"$(field Categories)"
for size in 16 22 24 32 48 128; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/pimbolet.png
    drawn=$E2E_SOURCE_DIR/resources/pictures/pimbolet-$size.png
    [ "$size" != 32 ] || drawn=$E2E_SOURCE_DIR/resources/pictures/pimbolet.png
    expect "the hicolor theme has the icon at ${size}x$size" \
        [ "$(identify -format '%m %wx%h' "$icon" 2>/dev/null)" = "PNG ${size}x$size" ]
    expect "and it is the icon drawn at that size" cmp -s "$icon" "$drawn"
done
expect "no autostart entry is installed" [ -z "$(find "$prefix" -path '*autostart*')" ]

e2e_start_desktop
store_birth "2025-01-02 03:04:05"
# As the menu starts it: the entry's command, found on PATH.
read -r -a command <<<"$(field Exec)"
PATH=$prefix/bin:$PATH e2e_spawn pimbolet-installed "${command[@]}"
pid=$E2E_LAST_PID
log "started the entry's command \"${command[*]}\", pid $pid"
pet_shown() { wait_for_window Pimbolet 10 >/dev/null; }
expect "the installed pet comes onto the desktop" pet_shown
tray_click "$pid" >/dev/null || die "the tray menu did not open"
choose Down Down Down Down Down Return
await_exit "$pid" 5
expect "Exit ends the installed pet with status 0 (${E2E_STATUS:-running})" [ "$E2E_STATUS" = 0 ]
e2e_finish
