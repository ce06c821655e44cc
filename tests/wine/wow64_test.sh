#!/bin/sh
# The x86 DLL on a 64-bit Windows with 32-bit support, as a 32-bit host meets it, beside the x64
# DLL: the 32-bit regsvr32 registers it into the registry's 32-bit view only, the 32-bit
# znhost.exe creates the plug-in by ProgID while a 64-bit one does not see it; with the x64 DLL
# registered too both hosts work, unregistering either leaves the other working, and once both
# are unregistered nothing of ours is left in either view. Then the 32-bit znhost.exe opens the
# page as a document and imports through it (znhost_gui_test.sh).
# Usage, inside scripts/wine-wow64.sh run, on a display:
#   wow64_test.sh X86_BIN X64_BIN WORKDIR     (the two builds' bin folders)
set -u
X86=$(cd "$1" && pwd)
X64=$(cd "$2" && pwd)
WORK=$3
here=$(cd "$(dirname "$0")" && pwd)
: "${ZN_WINE:?inside scripts/wine-wow64.sh run only}"
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all
# The prefix, over a gigabyte, goes when the test ends, however it ends.
trap '"$ZN_WINESERVER" -k >/dev/null 2>&1 </dev/null; "$ZN_WINESERVER" -w >/dev/null 2>&1 </dev/null; rm -rf "$WINEPREFIX"' EXIT
if ! cp -a "$ZN_WINE_PREFIX_TEMPLATE" "$WINEPREFIX"; then
    df -h "$WORK"
    exit 1
fi
"$ZN_WINESERVER" -p >/dev/null 2>&1 </dev/null

# shellcheck source=check_list.sh
. "$here/check_list.sh"
dll32=$(winpath "$X86/ZNImportPhotos.dll")
dll64=$(winpath "$X64/ZNImportPhotos.dll")
regsvr32() {
    if [ "$1" = 32 ]; then exe='C:\windows\syswow64\regsvr32.exe'; else exe='C:\windows\system32\regsvr32.exe'; fi
    shift
    "$ZN_WINE" "$exe" /s "$@" >"$WORK/last.out" 2>&1 </dev/null
}
# The key in one view of the machine's classes (HKLM\Software\Classes), its values on stdout.
query() { "$ZN_WINE" reg query "HKLM\\Software\\Classes\\$2" "/reg:$1" 2>/dev/null </dev/null | tr -d '\r'; }
in_view() { query "$@" | grep -q 'HKEY_'; }
not_in_view() { ! in_view "$@"; }
names() { query "$1" "$2" | grep -qiF "$3"; }
# The plug-in created by ProgID and its lifecycle run by the host of one bitness.
host() {
    bin=$X86
    [ "$1" = 64 ] && bin=$X64
    shift
    "$ZN_WINE" "$bin/znhost.exe" "$@" >"$WORK/last.out" 2>&1 </dev/null
}
creates() { host "$1" lifecycle --modules all && grep -q 'Caption:     Import Applicant/Student/Faculty/Individual Photos' "$WORK/last.out"; }
refused() { ! host "$1" lifecycle --modules all && grep -qi "$2" "$WORK/last.out"; }

plugin=ZNImportPhotos.cImportPhotoPlugin
page=ZNImportPhotos.docZNImportPhotos

check "the 32-bit regsvr32 registers the x86 DLL" regsvr32 32 "$dll32"
clsid=$(query 32 "$plugin\\CLSID" | sed -n 's/.*REG_SZ *//p')
page_clsid=$(query 32 "$page\\CLSID" | sed -n 's/.*REG_SZ *//p')
libid=$(query 32 "CLSID\\$clsid\\TypeLib" | sed -n 's/.*REG_SZ *//p')
echo "classes: plug-in $clsid, page $page_clsid, type library $libid"
check "the 32-bit view names the x86 DLL" names 32 "CLSID\\$clsid\\InprocServer32" "$dll32"
check "the 64-bit view has no class of ours" not_in_view 64 "CLSID\\$clsid"
check "the 32-bit host creates the plug-in" creates 32
check "the 64-bit host does not see the x86 DLL" refused 64 80040154

check "the 64-bit regsvr32 registers the x64 DLL" regsvr32 64 "$dll64"
check "the 64-bit view names the x64 DLL" names 64 "CLSID\\$clsid\\InprocServer32" "$dll64"
check "the 32-bit view still names the x86 DLL" names 32 "CLSID\\$clsid\\InprocServer32" "$dll32"
check "both hosts: the 32-bit one" creates 32
check "both hosts: the 64-bit one" creates 64

check "the x86 DLL unregistered" regsvr32 32 /u "$dll32"
check "the 64-bit host still works without the x86 DLL" creates 64
check "the shared ProgID stays while the x64 DLL has the class" names 64 "$plugin\\CLSID" "$clsid"
check "the type library keeps its win64 entry" names 64 "TypeLib\\$libid\\1.0\\0\\win64" "$dll64"
check "and loses its win32 entry" not_in_view 64 "TypeLib\\$libid\\1.0\\0\\win32"
check "the 32-bit host no longer finds a class" refused 32 80040154
check "the x86 DLL registered again" regsvr32 32 "$dll32"
check "the x64 DLL unregistered" regsvr32 64 /u "$dll64"
check "the 32-bit host still works without the x64 DLL" creates 32
check "the 64-bit host no longer finds a class" refused 64 80040154
check "the x86 DLL unregistered again" regsvr32 32 /u "$dll32"
for view in 32 64; do
    for key in "CLSID\\$clsid" "CLSID\\$page_clsid" "$plugin" "$page" "TypeLib\\$libid"; do
        check "nothing of ours in the $view-bit view: $key" not_in_view "$view" "$key"
    done
done

# The page as a document in the 32-bit host, and an import through it.
ZN_WINE=$ZN_WINE sh "$here/znhost_gui_test.sh" "$X86/znhost.exe" "$X86/ZNImportPhotos.dll" "$X86/page_driver.exe" \
    "$WORK/gui" >"$WORK/last.out" 2>&1
check "the 32-bit znhost.exe gui opens the page and imports through it" test $? -eq 0

[ "$failures" -eq 0 ] && echo "all WoW64 checks passed" || echo "$failures WoW64 checks failed"
[ "$failures" -eq 0 ]
