#!/bin/sh
# start: a fresh Wine prefix at $WINEPREFIX with a persistent wineserver that every test of the
#        suite shares (a COM client then starts in a fraction of a second instead of seconds);
#        a copy of $ZN_WINE_PREFIX_TEMPLATE when that names an initialised prefix (the emulated
#        32-bit Wine pays half a minute for wineboot);
#        crashing programs end at once, without Wine's debugger;
# stop:  ends that server and every Wine process of the prefix, and removes the prefix (each
#        start makes it afresh; a 64-bit one is over a gigabyte).
# Everything started here writes to /dev/null: a server or service that inherited CTest's
# output pipe would keep CTest waiting until the test's timeout.
set -u
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEDEBUG=-all
wine=${ZN_WINE:-wine}
wineserver=${ZN_WINESERVER:-wineserver}
wineboot=${ZN_WINEBOOT:-wineboot}

case "${1:-}" in
start)
    "$wineserver" -k >/dev/null 2>&1 </dev/null
    rm -rf "$WINEPREFIX"
    if [ -d "${ZN_WINE_PREFIX_TEMPLATE:-}" ]; then
        if ! cp -a "$ZN_WINE_PREFIX_TEMPLATE" "$WINEPREFIX"; then
            echo "could not copy $ZN_WINE_PREFIX_TEMPLATE" >&2
            df -h "$(dirname "$WINEPREFIX")" >&2
            exit 1
        fi
    elif ! "$wineboot" -i >/dev/null 2>&1 </dev/null; then
        echo "wineboot -i failed for $WINEPREFIX" >&2
        exit 1
    fi
    # The server that wineboot started stops once its processes are gone; replace it with one
    # that stays for the whole suite.
    "$wineserver" -w >/dev/null 2>&1 </dev/null
    if ! "$wineserver" -p >/dev/null 2>&1 </dev/null; then
        echo "could not start a persistent wineserver" >&2
        exit 1
    fi
    # Start the prefix's services now, so that no test pays for it.
    if ! "$wine" cmd /c exit >/dev/null 2>&1 </dev/null; then
        echo "wine cannot run programs in $WINEPREFIX" >&2
        exit 1
    fi
    # A program that crashes ends at once, its fault's address on standard error, instead of
    # waiting for Wine's debugger to read the test program's debugging information (minutes: a
    # test then failed only by its timeout).
    if ! "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
        >/dev/null 2>&1 </dev/null; then
        echo "could not turn Wine's debugger off in $WINEPREFIX" >&2
        exit 1
    fi
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
stop)
    "$wineserver" -k >/dev/null 2>&1 </dev/null
    "$wineserver" -w >/dev/null 2>&1 </dev/null
    rm -rf "$WINEPREFIX"
    echo "Wine prefix stopped and removed: $WINEPREFIX"
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
