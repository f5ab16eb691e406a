#!/usr/bin/env bash
# The book of the neutral collection side by side with pandoc, in one run.
#   bash bench/epub_bench.sh [SIZES...]        (default: 1000 10000)
# For each size: the collection is generated (../shared/bench), imported into a new .txdb
# with the folder import, and written as a book with "arbor epub" (one file per page);
# pandoc writes the same pages as EPUB 2 with one file per page (to_pandoc.py --mode page).
# Prints wall times, peak memory, the ratio to pandoc and epubcheck's verdict on Arbor's
# book. Needs python3, pandoc, java with epubcheck and /usr/bin/time.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shared=${ARBOR_SHARED:-$root/../shared}
arbor=${ARBOR_BIN:-$root/build/src/arbor}
epubcheck=${EPUBCHECK_JAR:-/usr/share/java/epubcheck.jar}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000)
for tool in python3 pandoc java; do
    command -v "$tool" >/dev/null || { echo "epub_bench: $tool is not installed" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "epub_bench: /usr/bin/time is not installed (package time)" >&2; exit 2; }
[ -x "$arbor" ] || { echo "epub_bench: build arbor first ($arbor)" >&2; exit 2; }

work=$(mktemp -d /tmp/arbor-epub-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$arbor" --prepare >/dev/null 2>&1

# Runs a command and prints "seconds peak-MB" of it.
measure() {
    local out=$work/time.txt
    /usr/bin/time -f "%e %M" -o "$out" "$@" >"$work/last.log" 2>&1 || {
        echo "epub_bench: failed: $*" >&2; tail -20 "$work/last.log" >&2; exit 1; }
    awk '{ printf "%.2f %.0f\n", $1, $2 / 1024 }' "$out"
}

printf "%-8s %-28s %10s %10s\n" pages step seconds "peak MB"
for n in "${sizes[@]}"; do
    coll=$work/coll-$n folder=$work/folder-$n db=$work/bench$n.txdb
    python3 "$shared/bench/gen_collection.py" "$n" "$coll" >/dev/null
    python3 "$shared/bench/to_folder.py" "$coll" "$folder" >/dev/null
    "$arbor" --new-db "$db" >/dev/null
    read -r t m < <(measure "$arbor" import "$folder" "$db")
    printf "%-8s %-28s %10s %10s\n" "$n" "arbor import" "$t" "$m"

    book=$work/arbor-$n.epub
    read -r ta ma < <(measure "$arbor" epub "$db" -o "$book" --title "サンプル文書集" \
        --id "urn:uuid:3f2504e0-4f89-41d3-9a0c-0305e82c3301" --timing)
    printf "%-8s %-28s %10s %10s   (%s)\n" "$n" "arbor epub" "$ta" "$ma" \
        "$(grep -o '^ms: .*' "$work/last.log" | head -1)"

    read -r tp mp < <(measure python3 "$shared/bench/to_pandoc.py" "$coll" "$work/pandoc-$n.epub" --mode page)
    printf "%-8s %-28s %10s %10s\n" "$n" "pandoc (--mode page)" "$tp" "$mp"
    awk -v a="$ta" -v p="$tp" -v n="$n" 'BEGIN { printf "%-8s %-28s %10.3f\n", n, "ratio arbor/pandoc", a / p }'

    verdict=$(java -jar "$epubcheck" "$book" 2>&1 | grep -E "^Messages:|No errors" | tr '\n' ' ')
    printf "%-8s %-28s %s\n" "$n" "epubcheck (arbor)" "$verdict"
done
