#!/bin/sh
# znhost's record database commands and the import end to end: init, add, list and photo with
# their exit codes, then imports through the registered plug-in with the message boxes on
# standard error, the answers given, the check box, and what ends up stored.
# Usage: znhost_records_test.sh ZNHOST MODULE WORKDIR
. "$(dirname "$0")/znhost_script_support.sh"

# expect NAME out|err TEXT : that output of NAME holds TEXT as a fixed string
expect() {
    grep -qF -- "$3" "$WORK/$1.$2" || fail "$1: standard $2 lacks: $3"
}
expect_not() {
    if grep -qF -- "$3" "$WORK/$1.$2"; then fail "$1: standard $2 holds: $3"; fi
}
# expect_lines NAME err N PATTERN : exactly N lines of that output start with PATTERN
expect_lines() {
    n=$(grep -c -- "^$4" "$WORK/$1.$2")
    [ "$n" -eq "$3" ] || fail "$1: $n lines start with '$4', expected $3"
}

printf 'old' >"$WORK/old.bin"
printf 'new photo one' >"$WORK/p1.bin"
printf 'new photo two' >"$WORK/p2.bin"
printf 'new photo three' >"$WORK/p3.bin"
# Every byte value, twice, in an order that is not sorted.
i=0
while [ $i -lt 256 ]; do printf "\\$(printf %03o $(((i * 7 + 3) % 256)))"; i=$((i + 1)); done >"$WORK/bytes.bin"
cat "$WORK/bytes.bin" "$WORK/bytes.bin" >"$WORK/all-bytes.bin"
[ "$(wc -c <"$WORK/all-bytes.bin")" -eq 512 ] || fail "the byte-values file is not 512 bytes"

# ---- init, add, list, photo ----
DB="$WORK/school.db"
run 0 help --help
expect help out "znhost import DB TYPE CSV [--remove-missing] [--answer LIST]"
expect help out "znhost photo DB TYPE ID [-o FILE]"
run 0 init init "$DB"
run 1 init-again init "$DB"
expect init-again err "already exists"
run 2 init-bad-modules init "$WORK/x.db" --modules HX
run 2 init-no-db init

run 0 add-1 add "$DB" Student 1 "Ann Lee" --photo "$WORK/old.bin"
run 0 add-2 add "$DB" Student 2 "Bo Chen" --photo "$WORK/old.bin"
run 0 add-3 add "$DB" Student 3 "Cy Diaz"
run 0 add-4 add "$DB" Student 4 "Di Ede" --photo "$WORK/old.bin"
run 0 add-applicant add "$DB" Applicant 1 "Ann Lee" --photo "$WORK/old.bin"
run 1 add-duplicate add "$DB" Student 1 "Someone Else"
expect add-duplicate err "Student record 1 exists already"
run 2 add-bad-type add "$DB" student 9 "Lower Case"
run 2 add-bad-id add "$DB" Student 12x "Bad Id"
run 2 add-big-id add "$DB" Student 2147483648 "Too Big"
run 1 add-missing-photo add "$DB" Student 9 "No File" --photo "$WORK/none.bin"
run 1 add-missing-db add "$WORK/none.db" Student 9 "No Db"

run 0 list list "$DB"
printf 'Applicant\t1\tAnn Lee\t3\nStudent\t1\tAnn Lee\t3\nStudent\t2\tBo Chen\t3\nStudent\t3\tCy Diaz\t0\nStudent\t4\tDi Ede\t3\n' >"$WORK/list.expected"
tr -d '\r' <"$WORK/list.out" | cmp -s - "$WORK/list.expected" || fail "list: output differs from list.expected"
run 0 list-applicants list "$DB" Applicant
[ "$(wc -l <"$WORK/list-applicants.out")" -eq 1 ] || fail "list Applicant: not one line"
run 2 list-bad-type list "$DB" Pupil

run 0 photo photo "$DB" Student 1
cmp -s "$WORK/photo.out" "$WORK/old.bin" || fail "photo: standard output is not the stored bytes"
run 0 photo-to-file photo "$DB" Student 1 -o "$WORK/out.bin"
cmp -s "$WORK/out.bin" "$WORK/old.bin" || fail "photo -o: the file is not the stored bytes"
run 3 photo-none photo "$DB" Student 3
expect photo-none err "Student record 3 has no photo"
run 3 photo-no-record photo "$DB" Student 99
expect photo-no-record err "Student record 99 not found"

# ---- import ----
run 0 register register "$MODULE"

# A heading row, then data rows; photo paths as written in the file, absolute here.
csv "$WORK/heading.csv" "System record ID,STSST_StudentName,Photo file" \
    "1,Ann Lee,$WORK/p1.bin" "2,Bo Chen,$WORK/p2.bin" "3,Cy Diaz,$WORK/all-bytes.bin"
run 0 import-heading import "$DB" Student "$WORK/heading.csv"
expect_lines import-heading err 1 "msgbox: "
expect import-heading err "msgbox: Imported Student Photos | Photos imported successfully | OK, information -> OK"
expect import-heading out "Records saved: 3"
stored "$DB" Student 1 "$WORK/p1.bin"
stored "$DB" Student 2 "$WORK/p2.bin"
stored "$DB" Student 3 "$WORK/all-bytes.bin"
stored "$DB" Applicant 1 "$WORK/old.bin" # the same ID under another type is not touched

# A bad line answered OK: the run goes on and succeeds.
csv "$WORK/bad-line.csv" "1,Ann Lee,$WORK/p3.bin" "abc,Not A Number,$WORK/p3.bin" "2,Bo Chen,$WORK/p3.bin"
run 0 import-bad-ok import "$DB" Student "$WORK/bad-line.csv" --answer ok
expect import-bad-ok err "msgbox: Import Photos | Error processing record Not A Number | OK/Cancel -> OK"
expect import-bad-ok err "msgbox: Imported Student Photos | Photos imported successfully | OK, information -> OK"
stored "$DB" Student 1 "$WORK/p3.bin"
stored "$DB" Student 2 "$WORK/p3.bin"

# Answered Cancel: the run stops there, what was saved before stays, and no success follows.
csv "$WORK/bad-line.csv" "1,Ann Lee,$WORK/p1.bin" "abc,Not A Number,$WORK/p1.bin" "2,Bo Chen,$WORK/p1.bin"
run 1 import-bad-cancel import "$DB" Student "$WORK/bad-line.csv" --answer cancel
expect import-bad-cancel err "msgbox: Import Photos | Error processing record Not A Number | OK/Cancel -> Cancel"
expect_not import-bad-cancel err "Photos imported successfully"
stored "$DB" Student 1 "$WORK/p1.bin"
stored "$DB" Student 2 "$WORK/p3.bin"

# Answers in turn: OK to the first prompt (a record that does not exist), Cancel to the second.
csv "$WORK/two-bad.csv" "77,Gone Away,$WORK/p2.bin" "1,Ann Lee,$WORK/p2.bin" ",No Id,$WORK/p2.bin" \
    "2,Bo Chen,$WORK/p2.bin"
run 1 import-ok-cancel import "$DB" Student "$WORK/two-bad.csv" --answer ok,cancel
expect import-ok-cancel err "msgbox: Import Photos | Error processing record Gone Away | OK/Cancel -> OK"
expect import-ok-cancel err "msgbox: Import Photos | Error processing record No Id | OK/Cancel -> Cancel"
stored "$DB" Student 1 "$WORK/p2.bin"
stored "$DB" Student 2 "$WORK/p3.bin"
# Cancel at the first prompt: no further box at all.
run 1 import-cancel-first import "$DB" Student "$WORK/two-bad.csv" --answer cancel
expect_lines import-cancel-first err 1 "msgbox: "

# A missing photo file: passed over without the check box, the photo cleared with it.
csv "$WORK/missing.csv" "4,Di Ede,$WORK/no-such-photo.bin"
run 0 import-missing-kept import "$DB" Student "$WORK/missing.csv"
stored "$DB" Student 4 "$WORK/old.bin"
run 0 import-missing-removed import "$DB" Student "$WORK/missing.csv" --remove-missing
no_photo "$DB" Student 4
expect import-missing-removed out "cleared 1"

# A photo file that exists but cannot be read (2 GiB, sparse): the reader's message under the
# default caption, and the stored photo left as it was.
truncate -s 2G "$WORK/huge.bin" 2>/dev/null || dd if=/dev/zero of="$WORK/huge.bin" bs=1 count=0 seek=2147483648 2>/dev/null
csv "$WORK/unreadable.csv" "1,Ann Lee,$WORK/huge.bin" "2,Bo Chen,$WORK/p1.bin"
run 0 import-unreadable import "$DB" Student "$WORK/unreadable.csv" --remove-missing
expect import-unreadable err "msgbox: ZNImportPhotos | "
expect import-unreadable err "too large to import. | OK -> OK"
stored "$DB" Student 1 "$WORK/p2.bin"
stored "$DB" Student 2 "$WORK/p1.bin"
rm -f "$WORK/huge.bin"

# Ends that are neither success nor a cancel.
run 2 import-no-file import "$DB" Student "$WORK/no-such.csv"
expect import-no-file err "msgbox: ZNImportPhotos | Invalid Import File | OK -> OK"
run 0 init-hm init "$WORK/hm.db" --modules HM
run 0 add-hm add "$WORK/hm.db" Student 1 "Ann Lee"
run 2 import-type-not-offered import "$WORK/hm.db" Student "$WORK/heading.csv"
expect import-type-not-offered err "does not offer Student (it offers: Applicant, Faculty/Staff, Individual)"
run 2 import-no-db import "$WORK/none.db" Student "$WORK/heading.csv"
run 2 import-usage import "$DB" Student
run 2 import-bad-answer import "$DB" Student "$WORK/heading.csv" --answer maybe

# The demo school, made and imported from scratch.
run 0 demo demo "$WORK/demo"
expect demo out "3. What changed"
expect demo err "msgbox: Imported Individual Photos | Photos imported successfully | OK, information -> OK"

# Leave the registry as it was found.
run 0 unregister unregister "$MODULE"

finish "all znhost record and import checks passed"
