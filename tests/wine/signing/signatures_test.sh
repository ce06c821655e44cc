#!/bin/sh
# The build's signatures as osslsigncode reads them on the build machine: the module and the
# package signed through the build's own path (SIGNING/files/ZNImportPhotos.dll and
# SIGNING/ZNImportPhotos-*.msi) verify, SHA-256, against the authority that issued the signing
# certificate and against no other; the module inside the signed package is the signed module;
# the unsigned build's module and package carry no signature.
# Usage: signatures_test.sh SIGNING BIN WORKDIR
set -u
SIGNING=$(cd "$1" && pwd)
BIN=$(cd "$2" && pwd)
WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../check_list.sh
. "$here/../check_list.sh"

msi=$(ls "$SIGNING"/ZNImportPhotos-*.msi)
dll=$SIGNING/files/ZNImportPhotos.dll
ca=$SIGNING/certificates/ca.pem
other=$SIGNING/certificates/other-ca.pem

verify() { osslsigncode verify -CAfile "$1" -in "$2" >"$WORK/last.out" 2>&1; }
verifies_sha256() { verify "$ca" "$1" && grep -qi 'digest algorithm *: *sha256' "$WORK/last.out"; }
refused_by() { ! verify "$1" "$2"; }
unsigned() { ! verify "$ca" "$1" && grep -qi 'no signature' "$WORK/last.out"; }
extracted_is_signed() {
    msiextract -C "$WORK/extracted" "$msi" >"$WORK/last.out" 2>&1 || return 1
    inside=$(find "$WORK/extracted" -name ZNImportPhotos.dll | head -n 1)
    [ -n "$inside" ] || { echo "no ZNImportPhotos.dll in the package" >"$WORK/last.out"; return 1; }
    cmp "$dll" "$inside" >"$WORK/last.out" 2>&1 && verify "$ca" "$inside"
}
mkdir -p "$WORK/extracted"

check "the signed module verifies against its authority, SHA-256" verifies_sha256 "$dll"
check "the signed package verifies against its authority, SHA-256" verifies_sha256 "$msi"
check "the signed module is refused against another authority" refused_by "$other" "$dll"
check "the signed package is refused against another authority" refused_by "$other" "$msi"
check "the module inside the signed package is the signed module" extracted_is_signed
check "the unsigned build's module carries no signature" unsigned "$BIN/package/ZNImportPhotos.dll"
check "the unsigned build's package carries no signature" unsigned "$(ls "$BIN"/ZNImportPhotos-*.msi)"

[ "$failures" -eq 0 ] && echo "all signature checks passed" || echo "$failures signature checks failed"
[ "$failures" -eq 0 ]
