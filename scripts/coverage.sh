#!/usr/bin/env bash
# The line coverage of what ships: every source of ZNImportPhotos.dll or its Linux twin (plugin/,
# page/, import/, host/, and platform/ but for the Linux stand-ins: platform/com/posix,
# platform/ui/headless and every posix/ folder). The tests, the reference host, the tools and the
# stand-ins are not counted. Two sides measure it: the native debug build's tests, and the x64
# Windows suite under Wine in a build of its own (win-x64-coverage); the report merges them.
#   coverage.sh reset BUILD                 remove the counts of earlier runs, before the tests run
#   coverage.sh collect BUILD NAME [GCOV]   read BUILD's counts with gcovr (and that gcov) into
#                                           BUILD/coverage/NAME.json
#   coverage.sh report OUT FLOORS TRACEFILE...
#                                           print per file (each side's share and the merged
#                                           figure), per folder and in total, keep the lines not
#                                           run in OUT/uncovered.txt; FLOORS is "TOTAL,FOLDER" in
#                                           percent (90,85): fails below either
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Relative to the checkout, so that no character of its path is read as a pattern.
scope='^(plugin|page|import|host|platform)/'
stand_ins='^platform/com/posix/|^platform/ui/headless/|(^|/)posix/'

case "${1:-}" in
reset)
    # Counts left by an earlier build of other sources would be merged into this run's.
    find "$2" -name '*.gcda' -delete
    ;;
collect)
    build=$(cd "$2" && pwd)
    name=$3
    gcov=${4:-gcov}
    command -v gcovr >/dev/null || { echo "coverage: gcovr is missing (apt-get install gcovr)" >&2; exit 1; }
    mkdir -p "$build/coverage"
    cd "$root"
    # The counts are looked for in this build alone, not in the other builds beside it.
    gcovr --root "$root" --object-directory "$build" --gcov-executable "$gcov" --filter "$scope" \
        --exclude "$stand_ins" -j "${JOBS:-$(nproc)}" --json "$build/coverage/$name.json" "$build" >/dev/null
    echo "coverage: $name counts read into $build/coverage/$name.json"
    ;;
report)
    out=$2
    floors=$3
    shift 3
    mkdir -p "$out"
    python3 - "$out" "$floors" "$@" <<'EOF'
import json, os, sys

out, floors, tracefiles = sys.argv[1], sys.argv[2], sys.argv[3:]
floor_total, floor_folder = (float(x) for x in floors.split(","))
folders = ["plugin", "page", "import", "host", "platform"]

# Each side: file -> {line: count} (a line gcov does not count is no line).
sides = []
for path in tracefiles:
    name = os.path.splitext(os.path.basename(path))[0]
    lines = {}
    for f in json.load(open(path))["files"]:
        counts = lines.setdefault(f["file"], {})
        for line in f["lines"]:
            if line.get("gcovr/noncode"):
                continue
            counts[line["line_number"]] = counts.get(line["line_number"], 0) + line["count"]
    sides.append((name, lines))
files = sorted({f for _, lines in sides for f in lines if f.split("/")[0] in folders})
if not files:
    sys.exit("coverage: no counts for " + ", ".join(folders) + " in " + ", ".join(tracefiles) + ": were the tests run?")

def merged(f):
    counts = {}
    for _, lines in sides:
        for n, c in lines.get(f, {}).items():
            counts[n] = counts.get(n, 0) + c
    return counts

def percent(covered, total):
    return 100.0 * covered / total if total else 100.0

def cell(covered, total):
    return f"{covered:>5}/{total:<5} {percent(covered, total):5.1f}%" if total else f"{'-':>19}"

header = f"{'file':<52}" + "".join(f" {name:>19}" for name, _ in sides) + f" {'merged':>19}"
print(header)
totals = {}
uncovered = []
for f in files:
    row = f"{f:<52}"
    for name, lines in sides:
        counts = lines.get(f, {})
        row += " " + cell(sum(1 for c in counts.values() if c), len(counts))
    counts = merged(f)
    covered = sum(1 for c in counts.values() if c)
    row += " " + cell(covered, len(counts))
    print(row)
    folder = f.split("/")[0]
    c, t = totals.get(folder, (0, 0))
    totals[folder] = (c + covered, t + len(counts))
    missed = sorted(n for n, c in counts.items() if not c)
    if missed:
        uncovered.append(f"{f}: " + ",".join(map(str, missed)))
print()
failed = []
for folder in folders:
    covered, total = totals.get(folder, (0, 0))
    print(f"{folder + '/':<52} {cell(covered, total)}")
    if total and percent(covered, total) < floor_folder:
        failed.append(f"{folder}/ {percent(covered, total):.2f}% (floor {floor_folder:g}%)")
covered = sum(c for c, _ in totals.values())
total = sum(t for _, t in totals.values())
print(f"{'total (' + ' and '.join(name for name, _ in sides) + ')':<52} {cell(covered, total)}")
if percent(covered, total) < floor_total:
    failed.append(f"the total {percent(covered, total):.2f}% (floor {floor_total:g}%)")
open(os.path.join(out, "uncovered.txt"), "w").write("\n".join(uncovered) + "\n")
print(f"lines not run, per file: {os.path.join(out, 'uncovered.txt')}")
if failed:
    sys.exit("coverage: below the floor: " + "; ".join(failed))
EOF
    ;;
*)
    echo "usage: $0 reset BUILD | collect BUILD NAME [GCOV] | report OUT FLOORS TRACEFILE..." >&2
    exit 2
    ;;
esac
