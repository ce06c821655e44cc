#!/bin/sh
# znhost end to end: usage errors, registration into a registry of the test's own, the lifecycle
# with each set of host system modules, and what happens without registration.
# Usage: znhost_commands_test.sh ZNHOST MODULE WORKDIR
. "$(dirname "$0")/znhost_script_support.sh"

# expect NAME TEXT : the output of NAME (standard output or error) holds TEXT as a fixed string
expect() {
    cat "$WORK/$1.out" "$WORK/$1.err" | grep -qF -- "$2" || fail "$1: output lacks: $2"
}

# A prefix's registry is shared with other tests: start from one without the plug-in.
if [ -n "${ZN_WINE:-}" ]; then znhost unregister "$MODULE" >/dev/null 2>&1 </dev/null; fi

run 0 help --help
expect help "znhost register PATH"
expect help "znhost unregister PATH"
expect help "znhost lifecycle [--modules all|HM|HV|none]"
run 2 no-command
run 2 unknown-command frobnicate
run 2 register-without-path register
run 1 register-missing register "$WORK/no-such-module.so"
expect register-missing "DllRegisterServer of $WORK/no-such-module.so"

run 1 lifecycle-unregistered lifecycle
expect lifecycle-unregistered "create the plug-in by its ProgID failed"
expect lifecycle-unregistered "Every host object was released"

run 0 register register "$MODULE"
expect register "registered $MODULE"
run 2 lifecycle-bad-modules lifecycle --modules HX

run 0 all lifecycle --modules all
expect all "Caption:     Import Applicant/Student/Faculty/Individual Photos"
expect all "ProgID: ZNImportPhotos.Nothing"
expect all "Record types:  Applicant, Student, Faculty/Staff, Individual"
expect all "Chosen type:   Applicant"
expect all "Record type list enabled, file field enabled, check box enabled, Process disabled, progress bar hidden"
expect all "ProgID: ZNImportPhotos.docZNImportPhotos"
expect all "OnQueryUnload: cancel = False"
expect all "SystemInfo.IsSystemInstalled x6"
expect all "Every host object was released"

run 0 hm lifecycle --modules HM
expect hm "Record types:  Applicant, Faculty/Staff, Individual"
run 0 hv lifecycle --modules HV
expect hv "Record types:  Student, Faculty/Staff, Individual"
expect hv "Chosen type:   Student"
run 0 none lifecycle --modules none
expect none "Record types:  (none)"
expect none "Instructions:  You do not have a valid system installed to use this plugin."
expect none "Record type list disabled, file field disabled"

run 0 unregister unregister "$MODULE"
run 1 lifecycle-after-unregister lifecycle

finish "all znhost checks passed"
