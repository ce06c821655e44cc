#!/bin/sh
# The layout test once more with the prefix's LogPixels at 144, which Wine reads when a program
# starts; the value the prefix had is put back afterwards.
#   raised_dpi.sh PAGE_TESTS_EXE
set -eu
wine=${ZN_WINE:-wine}
key='HKCU\Control Panel\Desktop'
old=$("$wine" reg query "$key" /v LogPixels 2>/dev/null | sed -n 's/.*REG_DWORD *0x\([0-9a-fA-F]*\).*/\1/p' | tr -d '\r')
restore() {
    if [ -n "$old" ]; then
        "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$((0x$old))" /f >/dev/null 2>&1
    else
        "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1
    fi
}
trap restore EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
ZN_EXPECT_DPI=144 "$wine" "$1" --gtest_filter=PageWindowTest.EveryControlLiesAtItsTwipsAtTheWindowsDpiInItsContainer
