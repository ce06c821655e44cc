# Sourced by the Wine tests that report a list of checks (package_test.sh, wow64_test.sh), after
# they have set WORK, where each check's program writes what it says to last.out.

failures=0
# check NAME COMMAND...: "ok: NAME", or "FAIL: NAME" with the start of what COMMAND wrote, counted
# in failures; it fails when COMMAND fails, so that a check a test cannot go on without can end it.
check() {
    name=$1
    shift
    if "$@"; then echo "ok: $name"; else
        echo "FAIL: $name"
        sed 's/^/    /' "$WORK/last.out" 2>/dev/null | head -15
        failures=$((failures + 1))
        return 1
    fi
}

# A path as Windows programs under Wine see it (Wine shows / as Z:).
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
