#!/usr/bin/env bash
# Takes the main window's picture that the software-centre metadata show, from the program built in
# build/test (or the one named by the first argument), under a private X server.
set -euo pipefail
cd "$(dirname "$0")/.."
exe="$(realpath "${1:-build/test/gromadnik}")"
GROMADNIK_EXE="$exe" GROMADNIK_SCREENSHOT="$PWD/resources/screenshots/main-window.png" \
    /usr/bin/python3 tests/gui/screenshot.py main_window
