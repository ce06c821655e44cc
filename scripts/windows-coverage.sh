#!/usr/bin/env bash
# The Windows side of the coverage report: the x64 build made with MinGW-w64's --coverage in a
# build of its own (build/win-x64-coverage; the shipped DLL and packages stay uninstrumented),
# its suite run under Wine on a display of its own, and the counts read with MinGW-w64's gcov into
# build/win-x64-coverage/coverage/windows.json. The tests that check the shipped files themselves
# (the packages, their signatures, the DLL's imports) run in the build that makes them instead.
#   windows-coverage.sh build | test
# Run as the one who ran ./run (see lib/run_user.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
# shellcheck source=lib/debian-tree.sh
. scripts/lib/debian-tree.sh
build=build/win-x64-coverage
shipped='^(wine\.installer_package|signing\.|wine\.module_file\.)'

case "${1:-}" in
build)
    cmake --preset win-x64-coverage >/dev/null
    cmake --build --preset win-x64-coverage -j "$JOBS"
    ;;
test)
    scripts/coverage.sh reset "$build"
    isolation=("${ZN_ISOLATED[@]}")
    [ "$(id -u)" -eq 0 ] || isolation=(unshare --user --map-current-user "${ZN_ISOLATED[@]:1}")
    # Wine's programs write their counts where gcc's paths name them, on the drive Wine maps the
    # Unix root to, whatever folder a program runs in.
    rc=0
    GCOV_PREFIX=Z: scripts/suite.sh run win-x64-coverage xvfb-run -a "${isolation[@]}" \
        ctest --preset win-x64-coverage -j 2 -E "$shipped" || rc=$?
    scripts/coverage.sh collect "$build" windows x86_64-w64-mingw32-gcov-posix
    exit "$rc"
    ;;
*)
    echo "usage: $0 build | test" >&2
    exit 2
    ;;
esac
