#!/bin/sh
# Remakes every picture in resource/ (the PNG images and logo.ico) from resource/src/paint-images.cpp,
# a small Qt program that draws them with QPainter: it is built in a scratch folder and run offscreen,
# and it overwrites the pictures in place. The style sheet and resource.qrc are edited by hand; this
# script only checks that resource.qrc lists every picture. Run it after changing a drawing and commit
# the pictures with the change, so that the program's build needs no drawing tools.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

# The painter needs only what building the program needs (a compiler, CMake, Qt's development files).
"$root/scripts/setup-debian.sh"

build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT INT TERM

generator=""
if command -v ninja >/dev/null 2>&1; then
    generator="-G Ninja"
fi
# shellcheck disable=SC2086
cmake -S "$root/resource/src" -B "$build" $generator -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null

XDG_RUNTIME_DIR="$build" QT_QPA_PLATFORM=offscreen "$build/paint-images" "$root/resource" >"$build/written"

missing=0
while read -r name; do
    if ! grep -q "<file>$name</file>" "$root/resource/resource.qrc"; then
        echo "remake-images: $name is not listed in resource/resource.qrc" >&2
        missing=1
    fi
done <"$build/written"

echo "remake-images: $(wc -l <"$build/written") pictures written to $root/resource"
exit $missing
