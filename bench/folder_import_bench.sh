#!/usr/bin/env bash
# Times `arbor import` of the neutral collection as a folder of HTML files (the shape
# ../shared/bench/to_folder.py writes), into a new database, for each size given.
#
#   bench/folder_import_bench.sh [ARBOR_BINARY] [SIZES...]     (default sizes: 1000 10000)
# Target: 10,000 pages in under 60 s on a 2-core machine. Prints the median of three runs,
# the split the command reports, and the peak memory.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arbor=${1:-${ARBOR_BUILD_DIR:-$root/build}/src/arbor}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000)
neutral=${ARBOR_NEUTRAL_BENCH:-$root/../shared/bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
unset DISPLAY WAYLAND_DISPLAY

for n in "${sizes[@]}"; do
  python3 "$neutral/gen_collection.py" "$n" "$work/coll$n" >/dev/null
  python3 "$neutral/to_folder.py" "$work/coll$n" "$work/folder$n" >/dev/null
  times=()
  for run in 1 2 3; do
    db=$work/import$n-$run.txdb
    "$arbor" --new-db "$db" >/dev/null
    /usr/bin/time -f "%e %M" -o "$work/time" "$arbor" import "$work/folder$n" "$db" \
      >"$work/out" 2>/dev/null
    read -r seconds peak <"$work/time"
    times+=("$seconds")
    echo "  $n pages, run $run: $seconds s, peak $((peak / 1024)) MB; $(tail -1 "$work/out")"
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
  echo "$n pages: median $median s (target for 10,000: under 60 s)"
done
