#!/usr/bin/env bash
# End to end: `znhost import` of 2,000 records with 20 KB photos against the sqlite3 shell doing
# the same updates with readfile(), one statement per record, each its own transaction as the
# host's Save is. Then peak memory: it must follow the largest photo, not the number of lines.
# Usage: bench/end_to_end.sh BUILD_DIR   (the module registered in $ZN_REGISTRY)
set -euo pipefail
BIN=$1/bin
ZNHOST=$BIN/znhost
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
RECORDS=${RECORDS:-2000}

best_of() {  # best_of N command...: the fastest wall time in seconds
    local n=$1 best=
    shift
    for _ in $(seq "$n"); do
        local start end t
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

# A school database with RECORDS students, a photo file each and the import file naming them.
make_school() {  # make_school DIR LINES PHOTO_BYTES [LARGEST_PHOTO_BYTES]
    local dir=$1 lines=$2 bytes=$3 largest=${4:-0}
    mkdir -p "$dir/photos"
    "$ZNHOST" init "$dir/school.db" >/dev/null
    {
        echo "BEGIN;"
        for i in $(seq "$lines"); do echo "INSERT INTO records VALUES ('Student', $i, 'Student $i', NULL);"; done
        echo "COMMIT;"
    } | sqlite3 "$dir/school.db"
    head -c "$bytes" /dev/urandom >"$dir/photos/photo.jpg"
    : >"$dir/import.csv"
    : >"$dir/updates.sql"
    for i in $(seq "$lines"); do
        cp "$dir/photos/photo.jpg" "$dir/photos/$i.jpg"
        printf '%s,Student %s,%s\r\n' "$i" "$i" "$dir/photos/$i.jpg" >>"$dir/import.csv"
        printf "UPDATE records SET photo = readfile('%s') WHERE type = 'Student' AND id = %s;\n" \
            "$dir/photos/$i.jpg" "$i" >>"$dir/updates.sql"
    done
    if [ "$largest" -gt 0 ]; then head -c "$largest" /dev/urandom >"$dir/photos/1.jpg"; fi
}

make_school "$WORK/speed" "$RECORDS" 20000
cp "$WORK/speed/school.db" "$WORK/speed/pristine.db"
import_once() { cp "$WORK/speed/pristine.db" "$WORK/speed/school.db"; "$ZNHOST" import "$WORK/speed/school.db" Student "$WORK/speed/import.csv" --answer ok; }
shell_once() { cp "$WORK/speed/pristine.db" "$WORK/speed/school.db"; sqlite3 "$WORK/speed/school.db" <"$WORK/speed/updates.sql"; }
copy_once() { cp "$WORK/speed/pristine.db" "$WORK/speed/school.db"; }
copy=$(best_of 3 copy_once)
shell=$(best_of 3 shell_once)
import=$(best_of 3 import_once)
stored=$(sqlite3 "$WORK/speed/school.db" "SELECT count(*) FROM records WHERE length(photo) = 20000")
echo "end to end: $RECORDS records with 20 KB photos ($stored stored)"
printf '  sqlite3 shell, readfile(), one transaction per record: %.3f s\n' "$(echo "$shell - $copy" | bc -l)"
printf '  znhost import:                                         %.3f s\n' "$(echo "$import - $copy" | bc -l)"
ratio=$(echo "($import - $copy) / ($shell - $copy)" | bc -l)
printf '%-58s ratio %.2f (target <= 1.50) %s\n' "znhost import time / sqlite3 shell time" "$ratio" \
    "$([ "$(echo "$ratio <= 1.5" | bc -l)" = 1 ] && echo met || echo MISSED)"

peak_kib() {  # peak resident memory of an import of DIR, in KiB
    /usr/bin/time -f '%M' -o "$1/peak" "$ZNHOST" import "$1/school.db" Student "$1/import.csv" --answer ok >/dev/null 2>&1
    cat "$1/peak"
}
make_school "$WORK/few" 500 20000
make_school "$WORK/many" 5000 20000
make_school "$WORK/big8" 500 20000 $((8 << 20))
make_school "$WORK/big32" 500 20000 $((32 << 20))
few=$(peak_kib "$WORK/few")
many=$(peak_kib "$WORK/many")
big8=$(peak_kib "$WORK/big8")
big32=$(peak_kib "$WORK/big32")
echo "peak memory of an import (KiB): 500 lines $few, 5000 lines $many; largest photo 8 MiB $big8, 32 MiB $big32"
printf '%-58s ratio %.2f (target <= 1.10) %s\n' "peak memory, 10x the lines" "$(echo "$many / $few" | bc -l)" \
    "$([ "$(echo "$many / $few <= 1.1" | bc -l)" = 1 ] && echo met || echo MISSED)"
per_byte=$(echo "($big32 - $big8) * 1024 / (24 * 1048576)" | bc -l)
printf '%-58s ratio %.2f (a small constant: <= 8.00) %s\n' "peak memory growth per byte of the largest photo" "$per_byte" \
    "$([ "$(echo "$per_byte <= 8" | bc -l)" = 1 ] && echo met || echo MISSED)"
