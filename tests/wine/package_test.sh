#!/bin/sh
# The Windows Installer package of one build, installed silently into fresh prefixes as IT staff
# deploy it:
# - it writes exactly what the module's own registration writes (regsvr32 in another fresh
#   prefix), every entry naming the installed files, which are the build's;
# - the host creates the plug-in by ProgID and reads its header, and znhost.exe gui opens the
#   page from the installed document file and imports through it;
# - a repair brings back a deleted module and a deleted key;
# - a package of a higher version replaces it, leaving one product that names the new version;
# - uninstalling removes the files and every key of ours, and leaves what others wrote under the
#   same keys: the registry is then as it was before the install;
# - with X64_BIN (on a 64-bit Windows with 32-bit support), the x86 and x64 packages side by side:
#   either removed, the other still serves its host.
# Usage: package_test.sh BIN UPGRADE_MSI WORKDIR [X64_BIN]
#   BIN: a Windows build's bin folder (its package and the files it installs in package/, the module,
#        znhost.exe, page_driver.exe)
# ZN_PACKAGE_VERSION and ZN_UPGRADE_VERSION are the two packages' versions.
# Runs Wine as ZN_WINE, ZN_WINESERVER, ZN_WINEBOOT name it; a copy of ZN_WINE_PREFIX_TEMPLATE,
# when set, is the fresh prefix. Each prefix (over a gigabyte for a 64-bit Windows) is removed as
# soon as its part is done, and every one left when the test ends, however it ends.
set -u
BIN=$(cd "$1" && pwd)
UPGRADE=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
WORK=$3
X64=
[ $# -ge 4 ] && X64=$(cd "$4" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
wine=${ZN_WINE:-wine}
wineserver=${ZN_WINESERVER:-wineserver}
wineboot=${ZN_WINEBOOT:-wineboot}
export WINEDEBUG=-all
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)

: "${ZN_PACKAGE_VERSION:?}" "${ZN_UPGRADE_VERSION:?}"
arch=x86
[ -f "$BIN/ZNImportPhotos-x64.msi" ] && arch=x64
prefixes=
own_template=
# Ends the prefix's server and every program of it, then removes the prefix.
remove_prefix() {
    WINEPREFIX=$1 "$wineserver" -k >/dev/null 2>&1 </dev/null
    WINEPREFIX=$1 "$wineserver" -w >/dev/null 2>&1 </dev/null
    rm -rf "$1"
}
drop_prefix() {
    remove_prefix "$WINEPREFIX"
    left=
    for p in $prefixes; do [ "$p" = "$WINEPREFIX" ] || left="$left $p"; done
    prefixes=$left
}
remove_all() {
    for p in $prefixes $own_template; do remove_prefix "$p"; done
}
trap remove_all EXIT

# shellcheck source=check_list.sh
. "$here/check_list.sh"

# A fresh prefix at $WORK/NAME, made current, with a server of its own for the whole test.
fresh_prefix() {
    if [ -z "${ZN_WINE_PREFIX_TEMPLATE:-}" ]; then
        # No template: one prefix made by wineboot, copied for every other.
        ZN_WINE_PREFIX_TEMPLATE=$WORK/template
        own_template=$ZN_WINE_PREFIX_TEMPLATE
        WINEPREFIX=$ZN_WINE_PREFIX_TEMPLATE "$wineboot" -i >/dev/null 2>&1 </dev/null
        WINEPREFIX=$ZN_WINE_PREFIX_TEMPLATE "$wineserver" -w >/dev/null 2>&1 </dev/null
    fi
    export WINEPREFIX="$WORK/$1"
    prefixes="$prefixes $WINEPREFIX"
    if ! cp -a "$ZN_WINE_PREFIX_TEMPLATE" "$WINEPREFIX" 2>"$WORK/last.out"; then
        df -h "$WORK" >>"$WORK/last.out"
        return 1
    fi
    "$wineserver" -p >/dev/null 2>&1 </dev/null
}
is_64bit_prefix() { [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; }
# Where a package of that bitness installs in the current prefix, as Windows names it.
install_folder() {
    if [ "$1" = x86 ] && is_64bit_prefix; then echo 'C:\Program Files (x86)\ZNImportPhotos'; else
        echo 'C:\Program Files\ZNImportPhotos'
    fi
}
unix_folder() { printf '%s/drive_c%s' "$WINEPREFIX" "$(install_folder "$1" | sed 's/^C://' | tr '\\' /)"; }
view_of() { if [ "$1" = x64 ]; then echo 64; else echo 32; fi; }
bin_of() { if [ "$1" = x64 ] && [ -n "$X64" ]; then echo "$X64"; else echo "$BIN"; fi; }

msiexec() { "$wine" msiexec "$@" /qn >"$WORK/last.out" 2>&1 </dev/null; }
install() { msiexec /i "$(winpath "$1")"; }
uninstall() { msiexec /x "$(winpath "$1")"; }
regsvr32() {
    exe='C:\windows\system32\regsvr32.exe'
    [ "$1" = x86 ] && is_64bit_prefix && exe='C:\windows\syswow64\regsvr32.exe'
    "$wine" "$exe" /s "$(winpath "$(bin_of "$1")/ZNImportPhotos.dll")" >"$WORK/last.out" 2>&1 </dev/null
}

# The machine's classes in one view as sorted "key|name=value" lines, without the installer's own
# bookkeeping (Installer\...).
classes() {
    rm -f "$WORK/export.reg"
    "$wine" reg export 'HKLM\Software\Classes' "$(winpath "$WORK/export.reg")" "/reg:$1" /y \
        >/dev/null 2>&1 </dev/null || return 1
    # A value continued over lines (hex data) becomes one line.
    iconv -f UTF-16 -t UTF-8 "$WORK/export.reg" | tr -d '\r' | awk '
        /^\[/ { key = $0; next }
        /^$/ || /^Windows Registry/ { next }
        { line = line $0 }
        /\\$/ { sub(/\\$/, "", line); next }
        { print key "|" line; line = "" }' | grep -v '^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer\\' | LC_ALL=C sort
}
# Both views of a 64-bit Windows, the one view of a 32-bit Windows, each line marked with its view.
snapshot() {
    views=32
    is_64bit_prefix && views="32 64"
    for v in $views; do classes "$v" | sed "s/^/$v|/" || return 1; done
}
# Lines of $2 not in $1: what was written between the two snapshots.
added() { LC_ALL=C comm -13 "$1" "$2"; }
same_lines() { cmp -s "$1" "$2" || { diff "$1" "$2" >"$WORK/last.out"; false; }; }
# A snapshot's entries with a module's folder written as <folder>, in the .reg file's escaping.
folder_as_placeholder() {
    escaped=$(printf '%s' "$2" | sed 's/\\/\\\\\\\\/g')
    sed "s|$escaped|<folder>|Ig" "$1"
}

creates() {
    "$wine" "$(bin_of "$1")/znhost.exe" lifecycle --modules all >"$WORK/last.out" 2>&1 </dev/null &&
        grep -q 'Caption:     Import Applicant/Student/Faculty/Individual Photos' "$WORK/last.out"
}
refused() { ! "$wine" "$(bin_of "$1")/znhost.exe" lifecycle --modules all >"$WORK/last.out" 2>&1 </dev/null; }
installed_files() {
    cmp "$BIN/package/ZNImportPhotos.dll" "$(unix_folder "$arch")/ZNImportPhotos.dll" >"$WORK/last.out" 2>&1 &&
        cmp "$BIN/package/docZNImportPhotos.vbd" "$(unix_folder "$arch")/docZNImportPhotos.vbd" >>"$WORK/last.out" 2>&1
}
no_files() { [ ! -e "$(unix_folder "$1")" ]; }
# The installed module deleted and its class's key with it, then the package repaired.
repair_after_damage() {
    rm -f "$(unix_folder "$arch")/ZNImportPhotos.dll"
    "$wine" reg delete 'HKLM\Software\Classes\CLSID\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\InprocServer32' /f \
        "/reg:$view" >/dev/null 2>&1 </dev/null
    # Wine's msiexec does not repair with /f; the properties are what /fa stands for.
    msiexec /i "$(winpath "$1")" REINSTALL=ALL REINSTALLMODE=amus
}
# The products that Windows lists under "Uninstall" with our name, as "name version" lines.
products() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$(view_of "$arch")" \
        </dev/null 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { name = ""; version = "" }
             /DisplayName/ { name = $NF }
             /DisplayVersion/ { version = $NF; if (name == "ZNImportPhotos") print name, version }'
}
one_product() { [ "$(products)" = "${1:+ZNImportPhotos $1}" ] || { products >"$WORK/last.out"; false; }; }
gui() {
    ZN_WINE=$wine sh "$here/znhost_gui_test.sh" "$BIN/znhost.exe" - "$BIN/page_driver.exe" "$WORK/gui" \
        >"$WORK/last.out" 2>&1
}
# Keys that someone else wrote under the roots the package writes to.
foreign_keys() {
    "$wine" reg add 'HKLM\Software\Classes\TypeLib\{E788BDEE-6FEB-490A-9FFF-646BDC829163}\9.9\0\win32' /ve /d other.tlb /f \
        "/reg:$(view_of "$arch")" >"$WORK/last.out" 2>&1 </dev/null &&
        "$wine" reg add 'HKLM\Software\Classes\CLSID\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\Implemented Categories' /ve /d other /f \
            "/reg:$(view_of "$arch")" >>"$WORK/last.out" 2>&1 </dev/null
}

view=$(view_of "$arch")
msi=$BIN/ZNImportPhotos-$arch.msi
echo "package: $(basename "$msi"), $(wc -c <"$msi") bytes"

# What the module's own registration writes, in a fresh prefix.
check "a fresh prefix for regsvr32" fresh_prefix by-regsvr32 || exit 1
snapshot >"$WORK/regsvr32.before"
check "regsvr32 registers the build's module" regsvr32 "$arch"
snapshot >"$WORK/regsvr32.after"
added "$WORK/regsvr32.before" "$WORK/regsvr32.after" >"$WORK/regsvr32.added"
folder_as_placeholder "$WORK/regsvr32.added" "$(winpath "$BIN")" >"$WORK/regsvr32.entries"
if [ "$arch" = x86 ] && is_64bit_prefix; then
    # The 32-bit type library registration also writes the interfaces' keys into the 64-bit view
    # (for 64-bit callers across processes); a 32-bit package can write only the 32-bit view.
    # The x64 package writes them there when both are installed.
    grep -v '^64|\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Interface\\' "$WORK/regsvr32.entries" >"$WORK/regsvr32.x86"
    echo "left out: $(($(wc -l <"$WORK/regsvr32.entries") - $(wc -l <"$WORK/regsvr32.x86"))) interface entries of the 64-bit view"
    mv "$WORK/regsvr32.x86" "$WORK/regsvr32.entries"
fi
drop_prefix

# The package in another fresh prefix.
check "a fresh prefix for the package" fresh_prefix by-package || exit 1
check "someone else's keys under our roots" foreign_keys
snapshot >"$WORK/package.before"
check "the package installs silently" install "$msi"
check "the files are installed under $(install_folder "$arch")" installed_files
snapshot >"$WORK/package.after"
added "$WORK/package.before" "$WORK/package.after" >"$WORK/package.added"
folder_as_placeholder "$WORK/package.added" "$(install_folder "$arch")" >"$WORK/package.entries"
echo "entries written: $(wc -l <"$WORK/package.entries") by the package, $(wc -l <"$WORK/regsvr32.entries") by regsvr32"
check "the package writes what regsvr32 writes, naming the installed files" \
    same_lines "$WORK/regsvr32.entries" "$WORK/package.entries"
check "the host creates the plug-in by ProgID and reads its header" creates "$arch"
check "znhost.exe gui opens the installed document and imports through it" gui
check "a repair" repair_after_damage "$msi"
check "brings back the module and its keys" same_lines "$WORK/package.after" "$(snapshot >"$WORK/repaired" && echo "$WORK/repaired")"
check "and the files" installed_files
check "one product is installed" one_product "$ZN_PACKAGE_VERSION"
check "a higher version upgrades it silently" install "$UPGRADE"
check "one product is left, of the new version" one_product "$ZN_UPGRADE_VERSION"
check "the upgraded install writes the same entries" same_lines "$WORK/package.after" "$(snapshot >"$WORK/upgraded" && echo "$WORK/upgraded")"
check "the host still creates the plug-in" creates "$arch"
check "the upgraded package uninstalls silently" uninstall "$UPGRADE"
check "no product is left" one_product ""
check "the files are gone" no_files "$arch"
snapshot >"$WORK/package.removed"
check "every key of ours is gone and the others' keys are untouched" \
    same_lines "$WORK/package.before" "$WORK/package.removed"
check "the host no longer finds the plug-in" refused "$arch"
drop_prefix

if [ -n "$X64" ]; then
    # Both packages on a 64-bit Windows with 32-bit support, in a prefix of their own.
    x64msi=$X64/ZNImportPhotos-x64.msi
    echo "package: $(basename "$x64msi"), $(wc -c <"$x64msi") bytes"
    check "a fresh prefix for both packages" fresh_prefix side-by-side || exit 1
    snapshot >"$WORK/both.before"
    check "the x86 package installs" install "$msi"
    check "the x64 package installs beside it" install "$x64msi"
    check "the 32-bit host creates the plug-in" creates x86
    check "the 64-bit host creates the plug-in" creates x64
    check "the x86 package removed" uninstall "$msi"
    check "the 64-bit host still works" creates x64
    check "the 32-bit host no longer finds a class" refused x86
    check "the x86 package installed again" install "$msi"
    check "the x64 package removed" uninstall "$x64msi"
    check "the 32-bit host still works" creates x86
    check "the 64-bit host no longer finds a class" refused x64
    check "the x86 package removed too" uninstall "$msi"
    snapshot >"$WORK/both.removed"
    check "nothing of ours is left in either view" same_lines "$WORK/both.before" "$WORK/both.removed"
fi

[ "$failures" -eq 0 ] && echo "all package checks passed" || echo "$failures package checks failed"
[ "$failures" -eq 0 ]
