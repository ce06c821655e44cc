# Shared by the znhost end-to-end scripts, which source it with their arguments
# ZNHOST MODULE WORKDIR: a fresh work folder with a registry of its own, znhost run with no
# terminal on standard input, and the count of failed checks.
# With ZN_WINE set, ZNHOST is a Windows program run under that wine (in the prefix that
# WINEPREFIX names, whose registry it uses); texts it writes may then end lines with CR LF.
set -u
ZNHOST=$1
MODULE=$2
WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
export ZN_REGISTRY="$WORK/registry"
failures=0

znhost() {
    if [ -n "${ZN_WINE:-}" ]; then "$ZN_WINE" "$ZNHOST" "$@"; else "$ZNHOST" "$@"; fi
}

fail() {
    echo "FAIL $1"
    failures=$((failures + 1))
}

# run EXPECTED_RC NAME ARGS... : runs znhost; keeps standard output in $WORK/NAME.out and
# standard error in $WORK/NAME.err
run() {
    expected=$1
    name=$2
    shift 2
    znhost "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" </dev/null
    rc=$?
    if [ "$rc" -ne "$expected" ]; then
        fail "$name: exit code $rc, expected $expected"
        sed 's/^/    out: /' "$WORK/$name.out" | head -20
        sed 's/^/    err: /' "$WORK/$name.err" | head -20
    fi
}

# stored DB TYPE ID FILE : the record's stored photo is FILE's bytes
stored() {
    znhost photo "$1" "$2" "$3" -o "$WORK/stored.bin" >/dev/null 2>&1 </dev/null || { fail "photo $2 $3: none stored"; return; }
    cmp -s "$WORK/stored.bin" "$4" || fail "photo $2 $3: stored bytes differ from $4"
}
# no_photo DB TYPE ID : the record has no stored photo
no_photo() {
    znhost photo "$1" "$2" "$3" >/dev/null 2>&1 </dev/null
    rc=$?
    [ "$rc" -eq 3 ] || fail "photo $2 $3: exit code $rc, expected 3 (no photo)"
}

# csv FILE LINE... : an import file whose lines end with CR LF, as the host exports them
csv() {
    file=$1
    shift
    : >"$file"
    for line in "$@"; do printf '%s\r\n' "$line" >>"$file"; done
}

# finish MESSAGE : the verdict, as the exit status
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "$1"
}
