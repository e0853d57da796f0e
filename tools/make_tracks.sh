#!/bin/sh
# Rebuilds every bundled track in tracks/ from its description in tracks/src/: NAME.track gives
# tracks/NAME.trt and tracks/NAME.wmf. Records (tracks/NAME.rek) are left as they are.
#
#   tools/make_tracks.sh [BUILD_DIR]     BUILD_DIR defaults to build/
#
# Stops at the first description that has a problem; make_track names it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev
fi
cmake --build "$build" --target make_track
for source in "$root"/tracks/src/*.track; do
    echo "make_track $(basename "$source")"
    "$build/tools/make_track" "$source" "$root/tracks"
done
