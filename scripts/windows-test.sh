#!/usr/bin/env bash
# Builds the Windows presets and runs their tests:
#   win-x64: every unit test plus the Wine-only tests, under Wine, in one Xvfb display
#   win-x86: built and checked statically only; this machine cannot run 32-bit programs
# JOBS sets the build parallelism (default: the number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}

say() { printf '\n== %s\n' "$*"; }

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

# One display for the whole suite: the persistent wineserver keeps the display it started with.
# The tests run one at a time, as they share the prefix's registry.
say "testing win-x64 under Wine"
xvfb-run -a ctest --preset win-x64

say "testing win-x86 (static checks only)"
ctest --preset win-x86
