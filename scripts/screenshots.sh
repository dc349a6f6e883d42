#!/bin/sh
# Takes screenshots of Zolvane as a person sees it, on a virtual X server: the window with the empty list, its
# menu and language submenu, each dialog, an update message box, and a finished run in English and in Japanese.
#
#     scripts/screenshots.sh OUTPUT_DIR
#
# It builds the program in build/ (the tree that the README's commands use) and drives the copy that asks the
# tests' fake update service, so no network box gets in the way and nothing reaches the real service. That
# service listens where the tests' does: do not run this while CTest runs in the same build tree.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 OUTPUT_DIR" >&2
    exit 2
fi
mkdir -p "$1"
out=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."

# The virtual X server, xdotool and the Japanese fonts are among the packages that the tests need.
./scripts/setup-debian.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target ZolvaneLoopback zolvane_screenshots

home=$(mktemp -d "${TMPDIR:-/tmp}/zolvane-shots.XXXXXX")
trap 'rm -rf "$home"' EXIT
# Each run of the program gets a home of its own; this one keeps the shooter's own files away from the real one.
HOME=$home XDG_RUNTIME_DIR=$home xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    ./build/tests/zolvane_screenshots ./build/tests/ZolvaneLoopback "$out"
echo "Screenshots in $out"
