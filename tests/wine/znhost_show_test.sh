#!/bin/sh
# znhost.exe show end to end under Wine: the window comes up with the page over a fresh record
# database, a record type is chosen and a file name typed by window messages from another
# program, Process becomes enabled, and closing the window closes the plug-in down.
# Usage: znhost_show_test.sh ZNHOST MODULE DRIVER WORKDIR
DRIVER=$3
here=$(dirname "$0")
# The support file reads ZNHOST MODULE WORKDIR as the script's own arguments.
set -- "$1" "$2" "$4"
. "$here/../refhost/znhost_script_support.sh"

driver() { "$ZN_WINE" "$DRIVER" "$@"; }

run 0 register register "$MODULE"
run 0 init init "$WORK/school.db"
znhost show "$WORK/school.db" >"$WORK/show.out" 2>"$WORK/show.err" </dev/null &
shown=$!
driver prepare 'C:\School\photos.csv' >"$WORK/driver.out" 2>&1 || fail "the driver found no page: $(cat "$WORK/driver.out")"
driver close >/dev/null 2>&1 || fail "no window to close"
wait "$shown" || fail "show: exit code $?: $(cat "$WORK/show.err")"
grep -qF "chose Student; typed; Process enabled" "$WORK/driver.out" ||
    fail "the page did not take the choice and the typing: $(cat "$WORK/driver.out")"
grep -qF "Closed down" "$WORK/show.out" || fail "show did not close the plug-in down: $(cat "$WORK/show.out")"
znhost unregister "$MODULE" >/dev/null 2>&1 </dev/null
finish "znhost show: the page on screen, driven and closed"
