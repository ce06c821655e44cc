#!/usr/bin/env bash
# Builds the Windows presets and runs their tests under Wine, each suite in one Xvfb display:
#   win-x64: every unit test plus the Wine-only tests, under the system's 64-bit Wine;
#   win-x86: the same under 32-bit Wine in the i386 tree of scripts/wine-x86.sh (made and
#            cached on first use, while the presets compile), plus what only a 32-bit caller
#            can get wrong; the x86 DLL beside the x64 one on a 64-bit Windows with 32-bit
#            support (the tree of scripts/wine-wow64.sh); then the tree's own test, that it
#            leaves the machine as it was.
# Every suite runs in mount and PID namespaces of its own, so no Wine process outlives it.
# JOBS sets the build parallelism (default: the number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
# shellcheck source=lib/debian-tree.sh
. scripts/lib/debian-tree.sh

say() { printf '\n== %s\n' "$*"; }
elapsed() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# shellcheck source=lib/run_user.sh
. scripts/lib/run_user.sh
# When the trees' suites were left out of the making before this run (lib/wine-tree.sh).
export ZN_RUN_STARTED=${ZN_RUN_STARTED:-$(date +%s)}

# The tree is made while the presets compile (on two cores its emulated steps slow the compilers,
# so the overlap saves little there; more cores gain more).
mkdir -p build/logs
tree_log=build/logs/x86-tree.log
tree_ready=build/logs/x86-tree.ready
rm -f "$tree_ready"
# The seconds it took, noted when the making ends, not when the suite before gets to ask.
(
    rc=0
    scripts/wine-x86.sh make >"$tree_log" 2>&1 || rc=$?
    echo "$SECONDS" >"$tree_ready"
    exit "$rc"
) &
tree=$!
# Leaving early ends the making too: it is the parent of the tree's namespaces, which go with it
# (SIGKILL, as that parent holds other signals while it waits).
trap 'if jobs -rp | grep -qx "$tree"; then kill -KILL "$tree"; fi' EXIT

# The builds and the x64 suite as the one who ran ./run; the trees need root. Of the x64 build,
# what ships and what its own tests and the WoW64 suite use: every other x64 test runs in the
# build that counts lines (scripts/windows-coverage.sh).
say "building win-x64"
as_user cmake --preset win-x64 >/dev/null
as_user cmake --build --preset win-x64 -j "$JOBS" --target ZNImportPhotos zn_page_document znhost page_driver \
    trust_check zn_installer_package zn_upgrade_package zn_rebuild_package zn_downgrade_package zn_signed_package
say "building win-x86"
as_user cmake --preset win-x86 >/dev/null
as_user cmake --build --preset win-x86 -j "$JOBS"
say "building win-x64-coverage"
as_user scripts/windows-coverage.sh build

# One display per suite: the persistent wineserver keeps the display it started with. Two tests
# at a time; tests that share the prefix's registry or the display take their locks.
say "testing win-x64 under Wine, counting the lines it runs"
start=$SECONDS
as_user scripts/windows-coverage.sh test
say "testing the shipped win-x64 files under Wine"
# In namespaces of its own, so that no Wine process outlives it: as another user than root, in a
# user namespace too (which needs no privilege), mapping that user to itself.
isolation=("${ZN_ISOLATED[@]}")
as_other_user && isolation=(unshare --user --map-current-user "${ZN_ISOLATED[@]:1}")
as_user scripts/suite.sh run win-x64 xvfb-run -a "${isolation[@]}" ctest --preset win-x64 -j 2 \
    -R '^(wine\.installer_package|signing\.|wine\.module_file\.)'
say "win-x64 suite: $(elapsed $((SECONDS - start)))"
say "coverage of what ships, both sides"
as_user scripts/coverage.sh report build/coverage 90,85 build/debug/coverage/native.json \
    build/win-x64-coverage/coverage/windows.json

if ! wait "$tree"; then
    cat "$tree_log" >&2
    echo "the 32-bit Wine tree could not be made" >&2
    exit 1
fi
trap - EXIT
cat "$tree_log"
say "32-bit Wine tree: ready $(elapsed "$(cat "$tree_ready" 2>/dev/null || echo 0)") after the start"

say "x86 suite: $(scripts/wine-x86.sh mode)"
start=$SECONDS
# Two at a time: each emulated process spends most of its life starting up, one core each. A
# process that hangs inside the emulator (seen once in a suite of 360) is given a second try,
# which the report names; a second timeout fails the test.
scripts/suite.sh run win-x86 xvfb-run -a scripts/wine-x86.sh run ctest --preset win-x86 -j 2 \
    --repeat after-timeout:2 -LE 'machine|wow64|build_machine'
say "win-x86 suite: $(elapsed $((SECONDS - start)))"

# The x86 DLL where almost every school runs it: a 32-bit host on 64-bit Windows, beside the x64
# DLL. Its tree is made here (about two minutes; the trees' lock keeps it from overlapping).
start=$SECONDS
scripts/wine-wow64.sh make
say "64-bit Wine tree with 32-bit support: $(elapsed $((SECONDS - start)))"
start=$SECONDS
scripts/suite.sh run win-x86-wow64 xvfb-run -a scripts/wine-wow64.sh run ctest --preset win-x86 -L wow64
say "WoW64 suite: $(elapsed $((SECONDS - start)))"

# Outside the trees: the tree's own test, that it leaves the machine as it was, and the x86
# signatures read with the build machine's tools.
say "the x86 tree and the machine"
scripts/suite.sh run win-x86-machine ctest --preset win-x86 -L 'machine|build_machine'
