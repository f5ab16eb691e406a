#!/usr/bin/env bash
# Builds the arbor program and starts it; arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ARBOR_BUILD_DIR:-$root/build}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${ARBOR_BUILD_TYPE:-RelWithDebInfo} "${launcher[@]}" >/dev/null
cmake --build "$build" --target arbor -j "$(nproc)"
exec "$build/src/arbor" "$@"
