#!/usr/bin/env bash
# The line coverage of the product's own sources (plugin/, page/, import/, host/) by the tests
# of a build made with ZN_COVERAGE (the debug preset): per file, per folder and in total.
#   coverage.sh reset BUILD           remove the counts of earlier runs, before the tests run
#   coverage.sh report BUILD [FLOOR]  read the counts with gcovr, print the report, keep gcovr's
#                                     own (uncovered line numbers too) in BUILD/coverage/; fails
#                                     if the total is below FLOOR percent (default 90)
#   coverage.sh summary JSON [FLOOR]  print the report of a gcovr JSON summary, check the floor
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folders=(plugin page import host)

case "${1:-}" in
reset)
    # Counts left by an earlier build of other sources would be merged into this run's.
    find "$2" -name '*.gcda' -delete
    ;;
report)
    build=$(cd "$2" && pwd)
    out=$build/coverage
    mkdir -p "$out"
    command -v gcovr >/dev/null || { echo "coverage: gcovr is missing (apt-get install gcovr)" >&2; exit 1; }
    # Only the folders' own sources: tests, the reference host, the platform's stand-ins and
    # what the build generates lie outside them.
    # The filter is relative to the checkout, so no character of its path is read as a pattern;
    # the counts are looked for in the build alone, not in the other builds beside it.
    filter=$(printf '%s|' "${folders[@]}")
    cd "$root"
    gcovr --root "$root" --object-directory "$build" --filter "(${filter%|})/" \
        -j "${JOBS:-$(nproc)}" --txt "$out/coverage.txt" --json-summary "$out/summary.json" "$build"
    "$0" summary "$out/summary.json" "${3:-90}"
    echo "uncovered lines per file: $out/coverage.txt"
    ;;
summary)
    python3 - "$2" "${3:-90}" "${folders[@]}" <<'EOF'
import json, sys

summary, floor, folders = sys.argv[1], float(sys.argv[2]), sys.argv[3:]
files = [f for f in json.load(open(summary))["files"] if f["filename"].split("/")[0] in folders]
if not files:
    sys.exit(f"coverage: no counts for {', '.join(folders)} in {summary}: were the tests run?")

def percent(covered, total):
    return 100.0 * covered / total if total else 100.0

def row(name, covered, total):
    print(f"{name:<48} {total:>6} {covered:>6} {percent(covered, total):>6.1f}%")

print(f"{'file':<48} {'lines':>6} {'run':>6} {'cover':>7}")
for f in sorted(files, key=lambda f: f["filename"]):
    row(f["filename"], f["line_covered"], f["line_total"])
print()
for folder in folders:
    mine = [f for f in files if f["filename"].split("/")[0] == folder]
    row(folder + "/", sum(f["line_covered"] for f in mine), sum(f["line_total"] for f in mine))
covered, total = sum(f["line_covered"] for f in files), sum(f["line_total"] for f in files)
row("total", covered, total)
if percent(covered, total) < floor:
    sys.exit(f"coverage: {percent(covered, total):.2f}% of the lines of {', '.join(folders)} run, below the floor of {floor:g}%")
EOF
    ;;
*)
    echo "usage: $0 reset BUILD | report BUILD [FLOOR] | summary JSON [FLOOR]" >&2
    exit 2
    ;;
esac
