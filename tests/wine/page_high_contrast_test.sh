#!/bin/sh
# znhost.exe gui in a high-contrast colour scheme (high_contrast.reg, white text on black, written
# into a fresh prefix of its own): with Student chosen and a file name typed, every pixel of the
# page is one of the scheme's colours and each label shows its text, button text on button face
# (page_driver.exe colours, from another program).
# Usage: page_high_contrast_test.sh ZNHOST MODULE DRIVER WORKDIR FONTS
#   FONTS: Wine's own fonts (package fonts-wine), MS Sans Serif among them
# A copy of ZN_WINE_PREFIX_TEMPLATE, when set, is the fresh prefix; else wineboot makes one.
DRIVER=$3
FONTS=$5
here=$(cd "$(dirname "$0")" && pwd)
# The support file reads ZNHOST MODULE WORKDIR as the script's own arguments.
set -- "$1" "$2" "$4"
. "$here/../refhost/znhost_script_support.sh"
wineserver=${ZN_WINESERVER:-wineserver}

export WINEPREFIX="$WORK/prefix"
trap '"$wineserver" -k >/dev/null 2>&1 </dev/null; "$wineserver" -w >/dev/null 2>&1 </dev/null; rm -rf "$WINEPREFIX"' EXIT
if [ -d "${ZN_WINE_PREFIX_TEMPLATE:-}" ]; then
    cp -a "$ZN_WINE_PREFIX_TEMPLATE" "$WINEPREFIX" || { echo "FAIL could not copy the prefix"; exit 1; }
else
    "${ZN_WINEBOOT:-wineboot}" -i >/dev/null 2>&1 </dev/null
fi
# Wine's own fonts, MS Sans Serif among them: drawn from bitmaps, its text has no smoothed edges
# in colours between the text's and the face's.
cp "$FONTS"/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
    fail "Wine's own fonts (package fonts-wine) could not be copied from $FONTS into the prefix"
# The session takes the colours up when it starts: the server is ended once they are written.
"$ZN_WINE" reg import "$(printf 'Z:%s' "$here/high_contrast.reg" | tr / '\\')" >/dev/null 2>&1 </dev/null ||
    fail "the scheme could not be written into the prefix"
"$wineserver" -k >/dev/null 2>&1 </dev/null
"$wineserver" -w >/dev/null 2>&1 </dev/null
"$wineserver" -p >/dev/null 2>&1 </dev/null

driver() {
    [ "$failures" -eq 0 ] || return
    "$ZN_WINE" "$DRIVER" "$@" >>"$WORK/driver.out" 2>&1 || fail "driver $1: $(tail -n 1 "$WORK/driver.out" | tr -d '\r')"
}

DB="$WORK/school.db"
run 0 register register "$MODULE"
run 0 init init "$DB"
znhost gui "$DB" >"$WORK/gui.out" 2>"$WORK/gui.err" </dev/null &
gui=$!
driver wait
driver choose Student
driver type 'C:\School\Photos\students.csv'
driver colours
driver close
[ "$failures" -eq 0 ] || kill "$gui" 2>/dev/null
wait "$gui"
sed 's/^/    driver: /' "$WORK/driver.out" | tr -d '\r'
finish "znhost gui in a high-contrast scheme: the page draws in the scheme's colours"
