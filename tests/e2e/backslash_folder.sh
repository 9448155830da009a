#!/usr/bin/env bash
# A program installed in a folder whose name holds backslashes finds its wave files and starts:
# only the separators of its own "\cdata\..." paths are turned into "/".
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

folder=$E2E_TMP/'pet\cdata\\files'
mkdir -p "$folder"
cp "$PIMBOLET_BIN" "$folder/"
cp -r "$(dirname "$PIMBOLET_BIN")/cdata" "$folder/"
store_birth "2020-01-02 03:04:05"

start_pet "$folder/$(basename "$PIMBOLET_BIN")"
pid=$E2E_LAST_PID
pet=$(wait_for_window Pimbolet 10)
expect "the pet starts from ${folder#"$E2E_TMP"/}" [ -n "$pet" ]
expect "no \"Load Error\" box" not visible_window "Load Error"
expect "it still runs" process_running "$pid"

e2e_finish
