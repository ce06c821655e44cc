#!/bin/sh
# The Windows Installer package of one build, installed silently into fresh prefixes as IT staff
# deploy it:
# - it writes what the module's own registration writes (regsvr32 in another fresh prefix), every
#   entry naming the installed files, which are the build's; keys without values count too;
# - Add/Remove Programs names it with its bitness, its publisher and where it is installed, and
#   offers no modify;
# - the host creates the plug-in by ProgID and reads its header, and znhost.exe gui opens the
#   page from the installed document file and imports through it;
# - a repair brings back a deleted module and a deleted key;
# - a rebuild of the same version and an earlier release are refused (exit code 1603, at the
#   package's launch condition), and leave the installed product as it was;
# - a package of a higher version replaces it, leaving one product that names the new version and
#   the new release's module (marked by its version) in place of the old one;
# - uninstalling removes the files and every key of ours, and leaves what others wrote under the
#   same keys: the registry is then as it was before the install;
# - with X64_BIN (on a 64-bit Windows with 32-bit support), the x86 and x64 packages side by side:
#   after either is removed, the other's keys are all there as when it was installed alone, and
#   its host works.
# Usage: package_test.sh BIN UPGRADE_MSI WORKDIR [X64_BIN]
#   BIN: a Windows build's bin folder (its package and the files it installs in package/, the module,
#        znhost.exe, page_driver.exe)
# ZN_PACKAGE_VERSION and ZN_UPGRADE_VERSION are the two packages' versions, ZN_REBUILD_PACKAGE and
# ZN_DOWNGRADE_PACKAGE a rebuild of the same version and an earlier release, ZN_PUBLISHER the
# publisher's name.
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

: "${ZN_PACKAGE_VERSION:?}" "${ZN_UPGRADE_VERSION:?}" "${ZN_REBUILD_PACKAGE:?}" "${ZN_DOWNGRADE_PACKAGE:?}" "${ZN_PUBLISHER:?}"
UPGRADE_FILES=$(dirname "$UPGRADE")/files
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

# msiexec ARGS...: silently, without a restart, with a log; its exit code is msiexec's.
msiexec() { "$wine" msiexec "$@" /qn /norestart /l*v "$(winpath "$WORK/msiexec.log")" >"$WORK/last.out" 2>&1 </dev/null; }
install() { msiexec /i "$(winpath "$1")"; }
uninstall() { msiexec /x "$(winpath "$1")"; }
# refused_install MSI: the package refuses to install over the product installed: exit code 1603,
# and its launch condition the last action it ran (Wine's log does not give the condition's text).
refused_install() {
    rc=0
    install "$1" || rc=$?
    # A Windows exit code reaches the shell modulo 256: 1603 reads 67.
    [ "$rc" -eq $((1603 % 256)) ] || { echo "msiexec exit code $rc, expected 1603 (67)" >>"$WORK/last.out"; return 1; }
    last=$(grep -a 'Action start' "$WORK/msiexec.log" | tail -n 1)
    case $last in *LaunchConditions*) ;; *)
        echo "the last action was not the launch condition: $last" >>"$WORK/last.out"
        return 1 ;;
    esac
}
regsvr32() {
    exe='C:\windows\system32\regsvr32.exe'
    [ "$1" = x86 ] && is_64bit_prefix && exe='C:\windows\syswow64\regsvr32.exe'
    "$wine" "$exe" /s "$(winpath "$(bin_of "$1")/ZNImportPhotos.dll")" >"$WORK/last.out" 2>&1 </dev/null
}

# The machine's classes in one view as sorted lines, "key|" for each key and "key|name=value" for
# each value, without the installer's own bookkeeping (Installer\...). Fails when the export does.
classes() {
    rm -f "$WORK/export.reg"
    "$wine" reg export 'HKLM\Software\Classes' "$(winpath "$WORK/export.reg")" "/reg:$1" /y \
        >"$WORK/last.out" 2>&1 </dev/null || return 1
    [ -s "$WORK/export.reg" ] || { echo "reg export wrote nothing" >>"$WORK/last.out"; return 1; }
    # A value continued over lines (hex data) becomes one line.
    iconv -f UTF-16 -t UTF-8 "$WORK/export.reg" | tr -d '\r' | awk '
        /^\[/ { key = $0; print key "|"; next }
        /^$/ || /^Windows Registry/ { next }
        { line = line $0 }
        /\\$/ { sub(/\\$/, "", line); next }
        { print key "|" line; line = "" }' | grep -v '^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer[]\\]' | LC_ALL=C sort
}
# Both views of a 64-bit Windows, the one view of a 32-bit Windows, each line marked with its view.
# The 64-bit view's Wow6432Node is where the 32-bit view is kept: it counts as the 32-bit view.
snapshot() {
    views=32
    is_64bit_prefix && views="32 64"
    for v in $views; do
        classes "$v" >"$WORK/view.lines" || return 1
        sed "s/^/$v|/" "$WORK/view.lines" | grep -v '^64|\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node[]\\]'
    done
}
# snapshot_to FILE: a snapshot kept in FILE; fails when it cannot be taken.
snapshot_to() { snapshot >"$1.taking" && mv "$1.taking" "$1"; }
# Lines of $2 not in $1: what was written between the two snapshots.
added() { LC_ALL=C comm -13 "$1" "$2"; }
# Two lists of lines, neither of them empty, the same.
same_lines() {
    [ -s "$1" ] && [ -s "$2" ] || { echo "an empty list: $1 or $2" >"$WORK/last.out"; return 1; }
    cmp -s "$1" "$2" || { diff "$1" "$2" >"$WORK/last.out"; false; }
}
# A snapshot's entries with a module's folder written as <folder>, in the .reg file's escaping.
folder_as_placeholder() {
    escaped=$(printf '%s' "$2" | sed 's/\\/\\\\\\\\/g')
    sed "s|$escaped|<folder>|Ig" "$1"
}

creates() {
    "$wine" "$(bin_of "$1")/znhost.exe" lifecycle --modules all >"$WORK/last.out" 2>&1 </dev/null &&
        grep -q 'Caption:     Import Applicant/Student/Faculty/Individual Photos' "$WORK/last.out"
}
# The host fails to create the plug-in because the class is not there: not registered
# (0x80040154) or no such ProgID (0x800401F3); any other failure does not count.
refused() {
    ! "$wine" "$(bin_of "$1")/znhost.exe" lifecycle --modules all >"$WORK/last.out" 2>&1 </dev/null &&
        grep -qiE '80040154|800401F3' "$WORK/last.out"
}
# installed_files [MODULE]: the installed module is MODULE (default: the build's), the document
# file the build's.
installed_files() {
    cmp "${1:-$BIN/package/ZNImportPhotos.dll}" "$(unix_folder "$arch")/ZNImportPhotos.dll" >"$WORK/last.out" 2>&1 &&
        cmp "$BIN/package/docZNImportPhotos.vbd" "$(unix_folder "$arch")/docZNImportPhotos.vbd" >>"$WORK/last.out" 2>&1
}
no_files() { [ ! -e "$(unix_folder "$1")" ]; }
# file_version_is FILE A.B.C.D: the module's version resource gives it that file version
# (VS_FIXEDFILEINFO, found by its signature 0xFEEF04BD).
file_version_is() {
    found=$(od -An -tx1 -v "$1" | tr -s ' \n' '\n\n' | awk '
        function word(lo, hi,   s, v, k) {
            s = hi lo; v = 0
            for (k = 1; k <= 4; k++) v = v * 16 + index("0123456789abcdef", substr(s, k, 1)) - 1
            return v
        }
        NF { b[n++] = $1 }
        END {
            for (i = 0; i + 16 < n; i++)
                if (b[i] == "bd" && b[i+1] == "04" && b[i+2] == "ef" && b[i+3] == "fe") {
                    print word(b[i+10], b[i+11]) "." word(b[i+8], b[i+9]) "." word(b[i+14], b[i+15]) "." word(b[i+12], b[i+13])
                    exit
                }
        }')
    [ "$found" = "$2" ] || { echo "file version ${found:-none}, expected $2" >"$WORK/last.out"; false; }
}
# The installed module deleted and its class's key with it, then the package repaired.
repair_after_damage() {
    rm -f "$(unix_folder "$arch")/ZNImportPhotos.dll"
    "$wine" reg delete 'HKLM\Software\Classes\CLSID\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\InprocServer32' /f \
        "/reg:$view" >/dev/null 2>&1 </dev/null
    # Wine's msiexec does not repair with /f; the properties are what /fa stands for.
    msiexec /i "$(winpath "$1")" REINSTALL=ALL REINSTALLMODE=amus
}
# What Add/Remove Programs lists of ours, one "name|version|publisher|location|nomodify" line per
# product; fails when the list cannot be read.
products() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$(view_of "$arch")" \
        </dev/null >"$WORK/uninstall.out" 2>&1 || { cp "$WORK/uninstall.out" "$WORK/last.out"; return 1; }
    tr -d '\r' <"$WORK/uninstall.out" | awk '
        function flush() { if (name ~ /^ZNImportPhotos/) print name "|" version "|" publisher "|" location "|" nomodify }
        function value(line) { sub(/^ *[A-Za-z]+ +REG_[A-Z_]+ */, "", line); return line }
        /^HKEY/ { flush(); name = version = publisher = location = nomodify = ""; next }
        / DisplayName / { name = value($0) }
        / DisplayVersion / { version = value($0) }
        / Publisher / { publisher = value($0) }
        / InstallLocation / { location = value($0) }
        / NoModify / { nomodify = value($0) }
        END { flush() }'
}
bitness_of() { if [ "$1" = x64 ]; then echo 64-bit; else echo 32-bit; fi; }
# one_product [VERSION]: exactly one product of ours, of that version, listed as IT staff see it
# (no product without VERSION).
one_product() {
    products >"$WORK/products" || return 1
    expected=
    [ -z "${1:-}" ] ||
        expected="ZNImportPhotos ($(bitness_of "$arch"))|$1|$ZN_PUBLISHER|$(install_folder "$arch")\\|0x1"
    [ "$(cat "$WORK/products")" = "$expected" ] ||
        { printf 'listed:   %s\nexpected: %s\n' "$(cat "$WORK/products")" "$expected" >"$WORK/last.out"; false; }
}
gui() {
    ZN_WINE=$wine sh "$here/znhost_gui_test.sh" "$BIN/znhost.exe" - "$BIN/page_driver.exe" "$WORK/gui" \
        >"$WORK/last.out" 2>&1
}
# Keys that someone else wrote under the roots the package and registration write to, in every
# view (another program's interface among them, as every Windows has many).
foreign_keys() {
    views=32
    is_64bit_prefix && views="32 64"
    : >"$WORK/last.out"
    for v in $views; do
        for key in 'TypeLib\{E788BDEE-6FEB-490A-9FFF-646BDC829163}\9.9\0\win32' \
            'CLSID\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\Implemented Categories' \
            'Interface\{5A1E0C1D-7E2B-4C3A-9F10-2B3C4D5E6F70}'; do
            "$wine" reg add "HKLM\\Software\\Classes\\$key" /ve /d other /f "/reg:$v" >>"$WORK/last.out" 2>&1 </dev/null ||
                return 1
        done
    done
}

view=$(view_of "$arch")
msi=$BIN/ZNImportPhotos-$arch.msi
echo "package: $(basename "$msi"), $(wc -c <"$msi") bytes"

# What the module's own registration writes, in a fresh prefix.
check "a fresh prefix for regsvr32" fresh_prefix by-regsvr32 || exit 1
check "someone else's keys under our roots" foreign_keys
check "the registry before registration" snapshot_to "$WORK/regsvr32.before" || exit 1
check "regsvr32 registers the build's module" regsvr32 "$arch"
check "the registry after registration" snapshot_to "$WORK/regsvr32.after" || exit 1
added "$WORK/regsvr32.before" "$WORK/regsvr32.after" >"$WORK/regsvr32.added"
folder_as_placeholder "$WORK/regsvr32.added" "$(winpath "$BIN")" >"$WORK/regsvr32.written"
# HELPDIR, which the type library's registration writes, is left out of the packages: its key is
# shared by both bitnesses and there is no help file.
grep -v '\\HELPDIR\]|' "$WORK/regsvr32.written" >"$WORK/regsvr32.entries"
if [ "$arch" = x86 ] && is_64bit_prefix; then
    # The 32-bit type library registration also writes the interfaces' keys into the 64-bit view
    # (for 64-bit callers across processes); a 32-bit package can write only the 32-bit view.
    # The x64 package writes them there when both are installed.
    grep -v '^64|\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Interface\\' "$WORK/regsvr32.entries" >"$WORK/regsvr32.x86"
    echo "left out: $(($(wc -l <"$WORK/regsvr32.entries") - $(wc -l <"$WORK/regsvr32.x86"))) interface entries of the 64-bit view"
    mv "$WORK/regsvr32.x86" "$WORK/regsvr32.entries"
fi
drop_prefix

# A package's entries in the fresh prefix's registry, with its folder as <folder>, as regsvr32's
# are compared with them: the x64 package also writes the ProgIDs through the 32-bit view (the
# component both packages share, which reaches both views since Windows 7; Wine keeps them apart).
package_entries() {
    added "$1" "$2" >"$3.added"
    folder_as_placeholder "$3.added" "$(install_folder "$arch")" >"$3.all"
    if [ "$arch" = x64 ]; then
        grep -v '^32|\[HKEY_LOCAL_MACHINE\\Software\\Classes\\ZNImportPhotos\.' "$3.all" >"$3"
    else
        cp "$3.all" "$3"
    fi
}

# The package in another fresh prefix.
check "a fresh prefix for the package" fresh_prefix by-package || exit 1
check "someone else's keys under our roots" foreign_keys
check "the registry before the install" snapshot_to "$WORK/package.before" || exit 1
check "the package installs silently" install "$msi"
check "the files are installed under $(install_folder "$arch")" installed_files
check "the module's file version is the release's" file_version_is "$(unix_folder "$arch")/ZNImportPhotos.dll" "$ZN_PACKAGE_VERSION.0"
check "the registry after the install" snapshot_to "$WORK/package.after" || exit 1
package_entries "$WORK/package.before" "$WORK/package.after" "$WORK/package.entries"
echo "entries written: $(wc -l <"$WORK/package.entries") by the package, $(wc -l <"$WORK/regsvr32.entries") by regsvr32"
check "the package writes what regsvr32 writes, naming the installed files" \
    same_lines "$WORK/regsvr32.entries" "$WORK/package.entries"
check "Add/Remove Programs lists one product, its bitness, publisher and folder, no modify" \
    one_product "$ZN_PACKAGE_VERSION"
check "the host creates the plug-in by ProgID and reads its header" creates "$arch"
check "znhost.exe gui opens the installed document and imports through it" gui
check "a repair" repair_after_damage "$msi"
check "brings back the module and its keys" same_lines "$WORK/package.after" "$(snapshot_to "$WORK/repaired" && echo "$WORK/repaired")"
check "and the files" installed_files
check "a rebuild of the same version is refused" refused_install "$ZN_REBUILD_PACKAGE"
check "an earlier release is refused" refused_install "$ZN_DOWNGRADE_PACKAGE"
check "the installed product is as it was" one_product "$ZN_PACKAGE_VERSION"
check "with its files" installed_files
check "a higher version upgrades it silently" install "$UPGRADE"
check "one product is left, of the new version" one_product "$ZN_UPGRADE_VERSION"
check "the new release's module is installed in place of the old one" installed_files "$UPGRADE_FILES/ZNImportPhotos.dll"
check "which is the new release's, by its version" file_version_is "$(unix_folder "$arch")/ZNImportPhotos.dll" "$ZN_UPGRADE_VERSION.0"
check "the upgraded install writes the same entries" same_lines "$WORK/package.after" "$(snapshot_to "$WORK/upgraded" && echo "$WORK/upgraded")"
check "the host still creates the plug-in" creates "$arch"
check "the release it replaced is refused now" refused_install "$msi"
check "the upgraded package uninstalls silently" uninstall "$UPGRADE"
check "no product is left" one_product ""
check "the files are gone" no_files "$arch"
check "the registry after removal" snapshot_to "$WORK/package.removed"
check "every key of ours is gone and the others' keys are untouched" \
    same_lines "$WORK/package.before" "$WORK/package.removed"
check "the host no longer finds the plug-in" refused "$arch"
drop_prefix

if [ -n "$X64" ]; then
    # Both packages on a 64-bit Windows with 32-bit support, in a prefix of their own: after either
    # is removed, the registry is exactly as the other package alone leaves it, keys and values.
    x64msi=$X64/ZNImportPhotos-x64.msi
    echo "package: $(basename "$x64msi"), $(wc -c <"$x64msi") bytes"
    check "a fresh prefix for both packages" fresh_prefix side-by-side || exit 1
    check "the registry before" snapshot_to "$WORK/both.before" || exit 1
    check "the x64 package installs" install "$x64msi"
    check "the registry with the x64 package alone" snapshot_to "$WORK/x64.alone" || exit 1
    check "the x86 package installs beside it" install "$msi"
    check "the registry with both" snapshot_to "$WORK/both" || exit 1
    check "the 32-bit host creates the plug-in" creates x86
    check "the 64-bit host creates the plug-in" creates x64
    check "the x86 package removed" uninstall "$msi"
    check "every key of the x64 package is still there, and nothing of the x86 one" \
        same_lines "$WORK/x64.alone" "$(snapshot_to "$WORK/x86.removed" && echo "$WORK/x86.removed")"
    check "the 64-bit host still works" creates x64
    check "the 32-bit host no longer finds a class" refused x86
    check "the x64 package removed" uninstall "$x64msi"
    check "nothing of ours is left" same_lines "$WORK/both.before" "$(snapshot_to "$WORK/x64.removed" && echo "$WORK/x64.removed")"
    check "the x86 package installs alone" install "$msi"
    check "the registry with the x86 package alone" snapshot_to "$WORK/x86.alone" || exit 1
    check "the x64 package installs beside it" install "$x64msi"
    check "the registry with both, as before" same_lines "$WORK/both" "$(snapshot_to "$WORK/both.again" && echo "$WORK/both.again")"
    check "the x64 package removed" uninstall "$x64msi"
    check "every key of the x86 package is still there, and nothing of the x64 one" \
        same_lines "$WORK/x86.alone" "$(snapshot_to "$WORK/x64.removed.again" && echo "$WORK/x64.removed.again")"
    check "the 32-bit host still works" creates x86
    check "the 64-bit host no longer finds a class" refused x64
    check "the x86 package removed too" uninstall "$msi"
    check "nothing of ours is left in either view" same_lines "$WORK/both.before" "$(snapshot_to "$WORK/both.removed" && echo "$WORK/both.removed")"
fi

[ "$failures" -eq 0 ] && echo "all package checks passed" || echo "$failures package checks failed"
[ "$failures" -eq 0 ]
