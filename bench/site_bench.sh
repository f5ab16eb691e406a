#!/usr/bin/env bash
# The site build side by side with Hugo on the same neutral collection, in one run.
#   bash bench/site_bench.sh [SIZES...]        (default: 1000 10000)
# For each size: the collection is generated (../shared/bench), imported into a new .txdb
# with the folder import, and published with "arbor site --all"; then one page is changed
# and "arbor site --sync" runs; Hugo builds the same pages with to_hugo.py's site. Prints
# wall times, peak memory and the ratio to Hugo. Needs python3, hugo and /usr/bin/time.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shared=${ARBOR_SHARED:-$root/../shared}
arbor=${ARBOR_BIN:-$root/build/src/arbor}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000)
for tool in python3 hugo sqlite3; do
    command -v "$tool" >/dev/null || { echo "site_bench: $tool is not installed" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "site_bench: /usr/bin/time is not installed (package time)" >&2; exit 2; }
[ -x "$arbor" ] || { echo "site_bench: build arbor first ($arbor)" >&2; exit 2; }

work=$(mktemp -d /tmp/arbor-site-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$arbor" --prepare >/dev/null 2>&1

# Runs a command and prints "seconds peak-MB" of it (the median of the times of runs).
measure() {
    local out=$work/time.txt
    /usr/bin/time -f "%e %M" -o "$out" "$@" >"$work/last.log" 2>&1 || {
        echo "site_bench: failed: $*" >&2; tail -20 "$work/last.log" >&2; exit 1; }
    awk '{ printf "%.2f %.0f\n", $1, $2 / 1024 }' "$out"
}

printf "%-8s %-28s %10s %10s\n" pages step seconds "peak MB"
for n in "${sizes[@]}"; do
    coll=$work/coll-$n folder=$work/folder-$n hugo=$work/hugo-$n db=$work/bench$n.txdb
    python3 "$shared/bench/gen_collection.py" "$n" "$coll" >/dev/null
    python3 "$shared/bench/to_folder.py" "$coll" "$folder" >/dev/null
    python3 "$shared/bench/to_hugo.py" "$coll" "$hugo" >/dev/null
    "$arbor" --new-db "$db" >/dev/null
    read -r t m < <(measure "$arbor" import "$folder" "$db")
    printf "%-8s %-28s %10s %10s\n" "$n" "arbor import" "$t" "$m"

    read -r ta ma < <(measure "$arbor" site "$db" --all --template tpl-fx.htm)
    printf "%-8s %-28s %10s %10s\n" "$n" "arbor site --all" "$ta" "$ma"

    # One page changed as a save changes it: its text date and its placement's date.
    page=$(sqlite3 "$db" "Select noLfC From tbTree Where noLfP<>0 Order By noLfC Desc Limit 1")
    sqlite3 "$db" "Update msDoc Set dyUdt=strftime('%Y-%m-%d %H:%M:%S','now','localtime','+1 minute'), txDoc=txDoc||'。' Where noDoc=$page;
                   Update tbTree Set dyUdt=strftime('%Y-%m-%d %H:%M:%S','now','localtime','+1 minute') Where noLfC=$page;"
    read -r ts ms < <(measure "$arbor" site "$db" --sync)
    written=$(grep -o '^[0-9]* ファイル' "$work/last.log" | head -1)
    printf "%-8s %-28s %10s %10s   (%s)\n" "$n" "arbor site --sync (1 page)" "$ts" "$ms" "$written"

    read -r th mh < <(measure hugo --quiet -s "$hugo" -d "$work/hugo-out-$n")
    printf "%-8s %-28s %10s %10s\n" "$n" "hugo (full build)" "$th" "$mh"
    awk -v a="$ta" -v h="$th" -v n="$n" 'BEGIN { printf "%-8s %-28s %10.2f\n", n, "ratio arbor/hugo", a / h }'
done
