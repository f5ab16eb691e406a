#!/usr/bin/env bash
# Builds the arbor program and starts it: on the databases given as arguments, or on a
# Japanese sample collection that it creates in the user data folder the first time.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ARBOR_BUILD_DIR:-$root/build}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${ARBOR_BUILD_TYPE:-RelWithDebInfo} "${launcher[@]}" >/dev/null
cmake --build "$build" --target arbor -j "$(nproc)"
arbor="$build/src/arbor"
if [ $# -gt 0 ]; then exec "$arbor" "$@"; fi
"$arbor" --prepare >/dev/null
sample="${XDG_DATA_HOME:-$HOME/.local/share}/Marrow/arbor/Dbs/サンプル.txdb"
[ -f "$sample" ] || "$arbor" --sample "$sample"
exec "$arbor" "$sample"
