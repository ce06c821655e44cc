#!/usr/bin/env bash
# Builds the Windows presets and runs their tests under Wine, each suite in one Xvfb display:
#   win-x64: every unit test plus the Wine-only tests, under the system's 64-bit Wine;
#   win-x86: the same under 32-bit Wine, emulated in the i386 tree of scripts/wine-x86.sh
#            (made and cached on first use), plus what only a 32-bit caller can get wrong.
# JOBS sets the build parallelism (default: the number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}

say() { printf '\n== %s\n' "$*"; }
elapsed() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# 32-bit Wine takes over /usr/bin/wine and then every wine call fails, 64-bit included.
if dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386 && dpkg-query -W wine32 >/dev/null 2>&1; then
    echo "wine32 is installed: /usr/bin/wine would pick the 32-bit loader, which cannot run here." >&2
    exit 1
fi

for preset in win-x64 win-x86; do
    say "building $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$JOBS"
done

# One display per suite: the persistent wineserver keeps the display it started with.
# The tests run one at a time, as they share the prefix's registry.
say "testing win-x64 under Wine"
start=$SECONDS
xvfb-run -a ctest --preset win-x64
say "win-x64 suite: $(elapsed $((SECONDS - start)))"

start=$SECONDS
scripts/wine-x86.sh make
say "32-bit Wine tree: $(elapsed $((SECONDS - start)))"
say "testing win-x86 under emulated 32-bit Wine"
start=$SECONDS
# Two at a time: each emulated process spends most of its life starting up, one core each.
# Tests that share the registry or the display still take their locks. A process that hangs
# inside the emulator (seen once in a suite of 360) is given another try.
xvfb-run -a scripts/wine-x86.sh run ctest --preset win-x86 -j 2 --repeat after-timeout:2
say "win-x86 suite: $(elapsed $((SECONDS - start)))"
