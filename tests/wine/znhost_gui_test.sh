#!/bin/sh
# znhost.exe gui end to end under Wine, driven from another program by posted keyboard and mouse
# input (page_driver.exe). Over a fresh record database, the import file holds a good line, a
# bad line (its box answered OK), another good line, a missing photo (cleared, as the check box
# is ticked), another bad line (answered Cancel) and a good line that the cancel never reaches.
# The user types the file's path at once (the page gave the field the keyboard), chooses Student,
# and a screen reader in another process hears what each control is; the user opens the file
# dialog with F7 and cancels it (the caret is back in the field), tabs round the page's stops (the
# browse button is none of them), ticks the check box, goes to Process with Tab and presses Enter,
# answers the boxes and closes the window. Afterwards exactly the expected photos are stored, and
# the gui has closed the plug-in down and reports every object released.
# Usage: znhost_gui_test.sh ZNHOST MODULE DRIVER WORKDIR   (MODULE -: registered already, as installed)
DRIVER=$3
here=$(dirname "$0")
# The support file reads ZNHOST MODULE WORKDIR as the script's own arguments.
set -- "$1" "$2" "$4"
. "$here/../refhost/znhost_script_support.sh"

# A Windows path for a file under the work folder (Wine shows / as Z:).
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

gui=
# driver STEP ARGS... : one step of the journey; the first that fails ends it.
driver() {
    [ "$failures" -eq 0 ] || return
    "$ZN_WINE" "$DRIVER" "$@" >>"$WORK/driver.out" 2>&1 ||
        fail "driver $1: $(tail -n 1 "$WORK/driver.out" | tr -d '\r')"
}

printf 'old' >"$WORK/old.bin"
printf 'photo one' >"$WORK/p1.bin"
printf 'photo two' >"$WORK/p2.bin"
printf 'photo three' >"$WORK/p3.bin"
DB="$WORK/school.db"
[ "$MODULE" = - ] || run 0 register register "$MODULE"
run 0 init init "$DB"
run 0 add-1 add "$DB" Student 1 "Ann Lee" --photo "$WORK/old.bin"
run 0 add-2 add "$DB" Student 2 "Bo Chen" --photo "$WORK/old.bin"
run 0 add-3 add "$DB" Student 3 "Cy Diaz"
run 0 add-4 add "$DB" Student 4 "Di Ede" --photo "$WORK/old.bin"
run 0 add-applicant add "$DB" Applicant 1 "Ann Lee" --photo "$WORK/old.bin"
csv "$WORK/photos.csv" \
    "1,Ann Lee,$(winpath "$WORK/p1.bin")" \
    "abc,Not A Number,$(winpath "$WORK/p3.bin")" \
    "2,Bo Chen,$(winpath "$WORK/p2.bin")" \
    "4,Di Ede,$(winpath "$WORK/no-such-photo.bin")" \
    "77,Gone Away,$(winpath "$WORK/p3.bin")" \
    "3,Cy Diaz,$(winpath "$WORK/p3.bin")"

znhost gui "$DB" >"$WORK/gui.out" 2>"$WORK/gui.err" </dev/null &
gui=$!
driver wait
driver type-at-once "$(winpath "$WORK/photos.csv")"
driver choose Student
driver hear Student
driver browse-cancel
driver tab-round
driver tick
driver process
driver answer "Import Photos" "Error processing record Not A Number" ok
driver answer "Import Photos" "Error processing record Gone Away" cancel
driver close
if [ "$failures" -ne 0 ]; then
    kill "$gui" 2>/dev/null
    sed 's/^/    driver: /' "$WORK/driver.out"
fi
wait "$gui"
rc=$?
[ "$failures" -ne 0 ] || [ "$rc" -eq 0 ] || fail "gui: exit code $rc: $(cat "$WORK/gui.err")"
for line in "Closed down" "The page released the container's site" \
    "ZNImportPhotos.dll can unload: DllCanUnloadNow = S_OK" "Every host object was released"; do
    grep -qF "$line" "$WORK/gui.out" || fail "gui did not print: $line"
done

# Lines 1 and 3 stored, line 4's photo cleared, line 6 never reached, the applicant untouched.
stored "$DB" Student 1 "$WORK/p1.bin"
stored "$DB" Student 2 "$WORK/p2.bin"
no_photo "$DB" Student 3
no_photo "$DB" Student 4
stored "$DB" Applicant 1 "$WORK/old.bin"
run 0 list list "$DB"
printf 'Applicant\t1\tAnn Lee\t3\nStudent\t1\tAnn Lee\t9\nStudent\t2\tBo Chen\t9\nStudent\t3\tCy Diaz\t0\nStudent\t4\tDi Ede\t0\n' >"$WORK/list.expected"
tr -d '\r' <"$WORK/list.out" | cmp -s - "$WORK/list.expected" || fail "list: output differs from list.expected"

znhost unregister "$MODULE" >/dev/null 2>&1 </dev/null
[ "$failures" -eq 0 ] || sed 's/^/    gui: /' "$WORK/gui.out" "$WORK/gui.err"
finish "znhost gui: the journey through the page, its boxes and its close-down"
