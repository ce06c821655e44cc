#!/bin/sh
# The signed module and package as Windows itself checks them, under Wine, with the test's
# authority added to the machine's Root store (trust_check.exe, WinVerifyTrust): both trusted, the
# unsigned build's "no signature", a signed module with one byte changed "bad digest". Then in use:
# the signed module registered with regsvr32 serves the host, which creates the plug-in by ProgID;
# the signed package installs and uninstalls silently in a fresh prefix.
# Wine checks the signature and the digest but not that the root is trusted; the chain is
# signatures_test.sh's to prove.
# Usage: trust_test.sh SIGNING BIN TRUST_CHECK WORKDIR
# Runs Wine as ZN_WINE, ZN_WINESERVER, ZN_WINEBOOT name them; a copy of ZN_WINE_PREFIX_TEMPLATE,
# when set, is the fresh prefix.
set -u
SIGNING=$(cd "$1" && pwd)
BIN=$(cd "$2" && pwd)
TRUST_CHECK=$3
WORK=$4
wine=${ZN_WINE:-wine}
wineserver=${ZN_WINESERVER:-wineserver}
export WINEDEBUG=-all
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../check_list.sh
. "$here/../check_list.sh"

msi=$(ls "$SIGNING"/ZNImportPhotos-*.msi)
dll=$SIGNING/files/ZNImportPhotos.dll
cp "$dll" "$WORK/changed.dll"
# One byte of the code section's middle, changed: the signature no longer matches the file.
size=$(wc -c <"$WORK/changed.dll")
printf 'Z' | dd of="$WORK/changed.dll" bs=1 seek=$((size / 3)) conv=notrunc 2>/dev/null

"$wine" "$TRUST_CHECK" "$(winpath "$SIGNING/certificates/ca.der")" "$(winpath "$dll")" "$(winpath "$msi")" \
    "$(winpath "$BIN/ZNImportPhotos.dll")" "$(winpath "$(ls "$BIN"/ZNImportPhotos-*.msi)")" \
    "$(winpath "$WORK/changed.dll")" </dev/null 2>&1 | tr -d '\r' >"$WORK/answers"
sed 's/^/    /' "$WORK/answers"
answer() { sed -n "$1p" "$WORK/answers" | cut -d' ' -f1; }
answers() { [ "$(answer "$1")" = "$2" ] || { echo "answered $(answer "$1"), expected $2" >"$WORK/last.out"; false; }; }
check "WinVerifyTrust trusts the signed module" answers 1 0x00000000
check "WinVerifyTrust trusts the signed package" answers 2 0x00000000
check "the unsigned build's module: TRUST_E_NOSIGNATURE" answers 3 0x800B0100
check "the unsigned build's package: TRUST_E_NOSIGNATURE" answers 4 0x800B0100
check "the signed module with one byte changed: TRUST_E_BAD_DIGEST" answers 5 0x80096010

# In the suite's prefix: registered, used, unregistered.
regsvr32() { "$wine" regsvr32 /s "$@" >"$WORK/last.out" 2>&1 </dev/null; }
creates() {
    "$wine" "$BIN/znhost.exe" lifecycle --modules all >"$WORK/last.out" 2>&1 </dev/null &&
        grep -q 'Caption:     Import Applicant/Student/Faculty/Individual Photos' "$WORK/last.out"
}
check "the signed module registers" regsvr32 "$(winpath "$dll")"
check "and serves the host, which creates the plug-in by ProgID" creates
check "and unregisters" regsvr32 /u "$(winpath "$dll")"

# The signed package in a prefix of its own.
export WINEPREFIX="$WORK/prefix"
trap '"$wineserver" -k >/dev/null 2>&1 </dev/null; "$wineserver" -w >/dev/null 2>&1 </dev/null; rm -rf "$WORK/prefix"' EXIT
if [ -d "${ZN_WINE_PREFIX_TEMPLATE:-}" ]; then
    cp -a "$ZN_WINE_PREFIX_TEMPLATE" "$WINEPREFIX"
else
    "${ZN_WINEBOOT:-wineboot}" -i >/dev/null 2>&1 </dev/null
fi
msiexec() { "$wine" msiexec "$@" /qn /norestart >"$WORK/last.out" 2>&1 </dev/null; }
installed() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s >"$WORK/last.out" 2>&1 </dev/null &&
        grep -q 'DisplayName.*ZNImportPhotos' "$WORK/last.out"
}
check "the signed package installs silently" msiexec /i "$(winpath "$msi")"
check "it is installed" installed
check "and uninstalls silently" msiexec /x "$(winpath "$msi")"
check "it is no longer installed" eval '! installed'

[ "$failures" -eq 0 ] && echo "all trust checks passed" || echo "$failures trust checks failed"
[ "$failures" -eq 0 ]
