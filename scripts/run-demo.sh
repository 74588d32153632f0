#!/usr/bin/env bash
# Opens the wizard on the demo kit: installs what is missing (Debian 12),
# builds `setup` and the demo kit in build/, puts the program beside the kit
# and starts it there. Without a display it starts a private Xvfb and says
# so; the wizard then runs there until it is closed (or this script is
# interrupted).
#
# The demo has a home of its own, build/demo/home: it installs the templates
# there and writes its launcher file there, leaving your own ~/.kelda and
# ~/.KV alone.
#
#   bash scripts/run-demo.sh [--real-home] [--no-build] [setup's options]
#
#   --real-home  install into your own home and rewrite your own launcher file
#   --no-build   start what is already built (no packages, no build)
#   setup's options, e.g. -Lde or -S, are passed on.
# BUILD_DIR names the build directory (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."

real_home=0
build=1
while [ $# -gt 0 ]; do
    case "$1" in
        --real-home) real_home=1 ;;
        --no-build) build=0 ;;
        *) break ;;
    esac
    shift
done
build_dir=${BUILD_DIR:-build}

if [ "$build" = 1 ]; then
    bash scripts/setup-deps.sh
    cmake -S . -B "$build_dir" >/dev/null
    cmake --build "$build_dir" -j2 --target setup demo_kit
fi
demo=$(cd "$build_dir/demo" && pwd)
# The program looks for kelda.efd, and its front-end modules, in its own
# folder. The old copies are removed first: a demo still running keeps its
# files, instead of finding them rewritten under it.
rm -f "$demo/setup" "$demo"/setup-gtk*.so
cp "$build_dir/bin/setup" "$build_dir"/bin/setup-gtk*.so "$demo/"

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$demo/.display" 2>/dev/null &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
        [ -s "$demo/.display" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$demo/.display")"
    echo "run-demo: no DISPLAY; the wizard runs on a private Xvfb at $DISPLAY until it is closed"
fi
if [ "$real_home" = 1 ]; then
    echo "run-demo: starting $demo/setup with your own home: it installs under $HOME" \
        "and rewrites $HOME/.KV/kvlaunch/kvlaunch.cfg"
    exec "$demo/setup" "$@"
fi
mkdir -p "$demo/home"
echo "run-demo: starting $demo/setup with a home of its own, $demo/home:" \
    "your own files are left alone (--real-home to install into yours)"
HOME="$demo/home" "$demo/setup" "$@"
