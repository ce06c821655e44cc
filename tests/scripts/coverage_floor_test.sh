#!/usr/bin/env bash
# The coverage report on gcovr tracefiles of two sides: a line run on either side is run; the
# total and each folder have floors (90% and 85% here) that fail below and pass at them; a test's
# or the reference host's lines never lift them; tracefiles without the product's files fail
# rather than passing as an empty 100%.
set -uo pipefail
coverage=$(cd "$(dirname "$0")/../../scripts" && pwd)/coverage.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# tracefile NAME FILE:RUN:NOT_RUN...: a gcovr tracefile whose FILE has RUN lines run and NOT_RUN
# lines not run (line numbers from 1, run lines first; OFFSET:FILE:... starts at another line).
tracefile() {
    local name=$1 entry sep='' file run missed first n
    shift
    {
        printf '{"files": ['
        for entry in "$@"; do
            IFS=: read -r first file run missed <<<"$entry"
            printf '%s{"file": "%s", "lines": [' "$sep" "$file"
            local lsep=''
            for ((n = 0; n < run + missed; n++)); do
                printf '%s{"line_number": %d, "count": %d}' "$lsep" $((first + n)) $((n < run ? 1 : 0))
                lsep=,
            done
            printf ']}'
            sep=,
        done
        printf ']}\n'
    } >"$work/$name.json"
}

failures=0
expect() {
    local want_rc=$1 want_text=$2 out rc
    shift 2
    out=$("$coverage" report "$work/out" 90,85 "$@" 2>&1)
    rc=$?
    if [ $((rc != 0)) -ne "$want_rc" ] || ! grep -qE -- "$want_text" <<<"$out"; then
        echo "FAILED: $*: exit $rc (want $([ "$want_rc" -eq 0 ] && echo 0 || echo 'not 0')), output:"
        echo "$out"
        failures=$((failures + 1))
    else
        echo "ok: $(basename "$1") ... -> exit $rc"
    fi
}

# 899 of 1000 lines, each folder at or near 90%: the total just below 90% however it is rounded.
tracefile below 1:plugin/a.cpp:225:25 1:page/b.cpp:225:25 1:import/c.cpp:225:25 1:host/d.h:224:26
tracefile at 1:plugin/a.cpp:225:25 1:page/b.cpp:225:25 1:import/c.cpp:225:25 1:host/d.h:225:25
expect 1 "below the floor: the total 89.90%" "$work/below.json"
expect 0 "^total.* 90.0%" "$work/at.json"
# The other side runs what one side did not: a line run on either is run (import/ is 80% on the
# one side, 90% merged).
tracefile native 1:plugin/a.cpp:225:25 1:page/b.cpp:225:25 1:import/c.cpp:200:50 1:host/d.h:250:0
tracefile windows 201:import/c.cpp:25:0
expect 0 "import/c.cpp .*200/250 .*25/25 .*225/250" "$work/native.json" "$work/windows.json"
expect 1 "import/ 80.00% \\(floor 85%\\)" "$work/native.json"
# A folder below its floor fails, whatever the total.
tracefile folder 1:plugin/a.cpp:900:0 1:platform/p.cpp:84:16
expect 1 "platform/ 84.00% \\(floor 85%\\)" "$work/folder.json"
# A test's, the reference host's or another folder's lines lift nothing.
tracefile lifted 1:plugin/a.cpp:225:25 1:page/b.cpp:225:25 1:import/c.cpp:225:25 1:host/d.h:224:26 \
    1:tests/plugin/t.cpp:5000:0 1:refhost/r.cpp:900:0 1:plugin_extra/x.cpp:900:0
expect 1 "below the floor: the total 89.90%" "$work/lifted.json"
tracefile none 1:tests/plugin/t.cpp:10:0
expect 1 "no counts for" "$work/none.json"
[ "$failures" -eq 0 ]
