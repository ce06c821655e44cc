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

# 32-bit Wine takes over /usr/bin/wine and then every wine call fails, 64-bit included.
if dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386 && dpkg-query -W wine32 >/dev/null 2>&1; then
    echo "wine32 is installed: /usr/bin/wine would pick the 32-bit loader, which cannot run here." >&2
    exit 1
fi

# The tree is made while the presets compile (on two cores its emulated steps slow the compilers,
# so the overlap saves little there; more cores gain more).
mkdir -p build/logs
tree_log=build/logs/x86-tree.log
tree_start=$SECONDS
scripts/wine-x86.sh make >"$tree_log" 2>&1 &
tree=$!
# Leaving early ends the making too: it is the parent of the tree's namespaces, which go with it
# (SIGKILL, as that parent holds other signals while it waits).
trap 'if jobs -rp | grep -qx "$tree"; then kill -KILL "$tree"; fi' EXIT

for preset in win-x64 win-x86; do
    say "building $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$JOBS"
done

# One display per suite: the persistent wineserver keeps the display it started with. Two tests
# at a time; tests that share the prefix's registry or the display take their locks.
say "testing win-x64 under Wine"
start=$SECONDS
scripts/suite.sh run win-x64 xvfb-run -a "${ZN_ISOLATED[@]}" ctest --preset win-x64 -j 2
say "win-x64 suite: $(elapsed $((SECONDS - start)))"

if ! wait "$tree"; then
    cat "$tree_log" >&2
    echo "the 32-bit Wine tree could not be made" >&2
    exit 1
fi
trap - EXIT
cat "$tree_log"
say "32-bit Wine tree: ready $(elapsed $((SECONDS - tree_start))) after the start"

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
