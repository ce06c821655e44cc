#!/usr/bin/env bash
# The coverage floor on gcovr summaries: a total below it fails and one at it passes, the total
# is of the four product folders alone (a test's or the reference host's lines never lift it),
# and a summary without their files fails rather than passing as an empty 100%.
set -uo pipefail
coverage=$(cd "$(dirname "$0")/../../scripts" && pwd)/coverage.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# summary NAME FILE:COVERED:TOTAL...
summary() {
    local name=$1 entry sep=
    shift
    {
        printf '{"files": ['
        for entry in "$@"; do
            IFS=: read -r file covered total <<<"$entry"
            printf '%s{"filename": "%s", "line_covered": %s, "line_total": %s}' "$sep" "$file" "$covered" "$total"
            sep=,
        done
        printf ']}\n'
    } >"$work/$name.json"
}

# 899 of 1000 lines of the folders: just below 90% however it is rounded for printing.
summary below plugin/a.cpp:400:400 page/b.cpp:300:300 import/c.cpp:100:200 host/d.h:99:100
summary at plugin/a.cpp:400:400 page/b.cpp:300:300 import/c.cpp:100:200 host/d.h:100:100
summary lifted plugin/a.cpp:400:400 page/b.cpp:300:300 import/c.cpp:100:200 host/d.h:99:100 \
    tests/plugin/t.cpp:5000:5000 refhost/r.cpp:900:900 platform/p.cpp:900:900
summary none tests/plugin/t.cpp:10:10 plugin_extra/x.cpp:1:1

failures=0
expect() {
    local want_rc=$1 want_text=$2 name=$3 out rc
    out=$("$coverage" summary "$work/$name.json" 90 2>&1)
    rc=$?
    if [ $((rc != 0)) -ne "$want_rc" ] || ! grep -qE -- "$want_text" <<<"$out"; then
        echo "FAILED: $name: exit $rc (want $([ "$want_rc" -eq 0 ] && echo 0 || echo 'not 0')), output:"
        echo "$out"
        failures=$((failures + 1))
    else
        echo "ok: $name: exit $rc, /$want_text/"
    fi
}

expect 1 "below the floor of 90%" below
expect 1 "^import/ +200 +100 +50.0%" below
expect 0 "^total +1000 +900 +90.0%" at
expect 1 "^total +1000 +899 +89.9%" lifted
expect 1 "no counts for plugin, page, import, host" none
[ "$failures" -eq 0 ]
