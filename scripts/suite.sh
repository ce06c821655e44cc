#!/usr/bin/env bash
# Says of a ctest run what its totals alone do not: the tests that needed a second try (timed
# out once and were run again) and the tests that skipped themselves. A skip that is not on the
# allow-list for the suite fails it, so a test that silently stops running is noticed.
#   suite.sh run SUITE CMD...              run CMD (a ctest), its output kept in build/logs/SUITE.log,
#                                          then report; fails if either fails
#   suite.sh report SUITE LOG [ALLOW-LIST] report on a recorded log (default allow-list:
#                                          tests/allowed_skips.txt)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = run ]; then
    suite=$2
    shift 2
    mkdir -p "$here/../build/logs"
    log=$here/../build/logs/$suite.log
    rc=0
    # One result line per test, which the report reads.
    CTEST_PROGRESS_OUTPUT=0 "$@" 2>&1 | tee "$log" || rc=$?
    "$0" report "$suite" "$log" || rc=1
    exit $rc
fi
[ "${1:-}" = report ] || { echo "usage: $0 run SUITE CMD... | report SUITE LOG [ALLOW-LIST]" >&2; exit 2; }
suite=$2
log=$3
allow=${4:-$here/../tests/allowed_skips.txt}

# One line per result, in order: NAME STATUS (a test run twice has two).
results=$(sed -n 's/^ *\([0-9]*\/[0-9]* \)\{0,1\}Test *#[0-9]*: \([^ ]*\) \.*[ *]*\([A-Za-z][A-Za-z ()]*\).*/\2 \3/p' "$log" \
    | sed 's/ *$//')
if [ -z "$results" ]; then
    echo "$suite: no test results in $log" >&2
    exit 1
fi

status=0
retried=$(awk '$2 == "Timeout" { t[$1] = 1; next } ($1 in t) { printf "%s (timed out, then %s)\n", $1, substr($0, length($1) + 2) }' <<<"$results")
if [ -n "$retried" ]; then
    echo "$suite: needed a second try:"
    sed 's/^/  /' <<<"$retried"
fi

allowed() {
    local name=$1 pattern entry
    while read -r pattern entry _; do
        case "$pattern" in '' | '#'*) continue ;; esac
        # shellcheck disable=SC2254
        case "$suite" in $pattern) [ "$entry" = "$name" ] && return 0 ;; esac
    done <"$allow"
    return 1
}

# A test's last result is what counts; "Not Run" for a failed fixture or a missing program is
# among ctest's failures already.
skipped=$(awk '{ last[$1] = substr($0, length($1) + 2) } END { for (n in last) if (last[n] ~ /^(Skipped|Not Run \(Disabled)/) print n }' <<<"$results" | sort)
if [ -n "$skipped" ]; then
    echo "$suite: skipped:"
    while read -r name; do
        if allowed "$name"; then
            echo "  $name"
        else
            echo "  $name  (not on the allow-list $allow: fails the suite)"
            status=1
        fi
    done <<<"$skipped"
fi
exit $status
