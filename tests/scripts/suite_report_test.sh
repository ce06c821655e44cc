#!/usr/bin/env bash
# The suite report on recorded ctest logs: a skip that is on the suite's allow-list passes and
# is listed, one that is not fails the suite, a test that timed out and passed on its second try
# is named, and a log with no results at all is a failure, not an empty success.
set -uo pipefail
report=$(cd "$(dirname "$0")/../../scripts" && pwd)/suite.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/allow" <<'EOF'
# comment
win-* Registry.NeedsTheRealOne  # why
EOF
cat >"$work/ctest.log" <<'EOF'
Test project /build/win-x86
      Start  1: wine.prefix.start
 1/4 Test  #1: wine.prefix.start ....................   Passed    9.12 sec
      Start  2: Registry.NeedsTheRealOne
 2/4 Test  #2: Registry.NeedsTheRealOne .............***Skipped   0.40 sec
      Start  3: Page.Opens
 3/4 Test  #3: Page.Opens ...........................***Timeout 120.01 sec
      Start  3: Page.Opens
    Test  #3: Page.Opens ...........................   Passed    2.31 sec
 4/4 Test  #4: wine.prefix.stop .....................   Passed    1.02 sec

100% tests passed, 0 tests failed out of 4
EOF
sed 's/Page.Opens \.*   Passed/Page.Opens ...........................***Skipped/' "$work/ctest.log" >"$work/unlisted.log"
printf 'Test project /build/debug\nNo tests were found!!!\n' >"$work/empty.log"

failures=0
expect() {
    local want_rc=$1 want_text=$2 suite=$3 log=$4 out rc
    out=$("$report" report "$suite" "$work/$log" "$work/allow" 2>&1)
    rc=$?
    if [ "$rc" -ne "$want_rc" ] || ! grep -qF -- "$want_text" <<<"$out"; then
        echo "FAILED: $suite $log: exit $rc (want $want_rc), output:"
        echo "$out"
        failures=$((failures + 1))
    else
        echo "ok: $suite $log: exit $rc, '$want_text'"
    fi
}

expect 0 "Page.Opens (timed out, then Passed)" win-x86 ctest.log
expect 0 "  Registry.NeedsTheRealOne" win-x86 ctest.log
expect 1 "Registry.NeedsTheRealOne  (not on the allow-list" debug ctest.log
expect 1 "Page.Opens  (not on the allow-list" win-x86 unlisted.log
expect 1 "no test results" debug empty.log
[ "$failures" -eq 0 ]
