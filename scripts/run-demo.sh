#!/usr/bin/env bash
# Opens the wizard on the demo kit: installs what is missing (Debian 12),
# builds `setup` and the demo kit in build/, puts the program beside the kit
# and starts it there. Extra arguments go to setup, e.g. -Lde or -S.
# Without a display it starts a private Xvfb and says so; the wizard then
# runs there until it is closed (or this script is interrupted).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j2 --target setup demo_kit
# The program looks for kelda.efd in its own folder.
cp build/src/gtk/setup build/demo/setup

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>build/demo/.display 2>/dev/null &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
        [ -s build/demo/.display ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -n1 build/demo/.display)"
    echo "run-demo: no DISPLAY; the wizard runs on a private Xvfb at $DISPLAY until it is closed"
fi
echo "run-demo: starting build/demo/setup; it installs into a folder under $HOME"
build/demo/setup "$@"
