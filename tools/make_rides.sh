#!/bin/sh
# Finds a ride to the finish from start position 1 on every bundled track with the ride solver and
# stores it as the track's record (tracks/NAME.rek), replacing the one there; then replays each
# stored ride with the record check. Run it after a track has been changed: the tests replay every
# stored ride, so a track whose ride no longer passes is seen.
#
#   tools/make_rides.sh [BUILD_DIR]     BUILD_DIR defaults to build/
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev
fi
cmake --build "$build" --target trasovky-tool
for track in "$root"/tracks/*.trt; do
    "$build/tools/trasovky-tool" solve "$track" --start 1 --write "${track%.trt}.rek"
    "$build/tools/trasovky-tool" check "$track"
done
