#!/bin/sh
# The two packages' tables as Windows Installer's component rules read them: a component that
# both carry (the same GUID) is the same in both, its row (attributes, condition, key path)
# and every registry entry it writes; a GUID of one package's own is in no other package.
# Usage: package_tables_test.sh X86_MSI X64_MSI WORKDIR
set -u
X86=$1
X64=$2
WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=check_list.sh
. "$here/check_list.sh"

# tables MSI OUT: OUT.components (GUID|row) and OUT.registry (component|row), sorted.
tables() {
    msiinfo export "$1" Component | tail -n +4 | tr -d '\r' |
        awk -F '\t' '{ print $2 "|" $0 }' | LC_ALL=C sort >"$2.components" &&
        msiinfo export "$1" Registry | tail -n +4 | tr -d '\r' |
        awk -F '\t' '{ print $6 "|" $2 "\t" $3 "\t" $4 "\t" $5 }' | LC_ALL=C sort >"$2.registry"
}
check "the x86 package's tables" tables "$X86" "$WORK/x86" || exit 1
check "the x64 package's tables" tables "$X64" "$WORK/x64" || exit 1
cut -d'|' -f1 "$WORK/x86.components" | LC_ALL=C sort >"$WORK/x86.guids"
cut -d'|' -f1 "$WORK/x64.components" | LC_ALL=C sort >"$WORK/x64.guids"
LC_ALL=C comm -12 "$WORK/x86.guids" "$WORK/x64.guids" >"$WORK/shared.guids"
echo "components in both packages: $(wc -l <"$WORK/shared.guids")"

# same_component GUID: one row in each package, the same, and the same registry entries.
same_component() {
    grep -F "$1|" "$WORK/x86.components" >"$WORK/a.row"
    grep -F "$1|" "$WORK/x64.components" >"$WORK/b.row"
    component=$(cut -f1 "$WORK/a.row" | cut -d"|" -f2)
    grep "^$component|" "$WORK/x86.registry" >"$WORK/a.registry"
    grep "^$component|" "$WORK/x64.registry" >"$WORK/b.registry"
    [ -s "$WORK/a.registry" ] && cmp -s "$WORK/a.row" "$WORK/b.row" && cmp -s "$WORK/a.registry" "$WORK/b.registry" ||
        { diff "$WORK/a.row" "$WORK/b.row"; diff "$WORK/a.registry" "$WORK/b.registry"; false; } >"$WORK/last.out"
}
[ -s "$WORK/shared.guids" ] || { echo "FAIL: no component is in both packages"; failures=$((failures + 1)); }
while read -r guid; do
    check "the component $guid is the same in both packages" same_component "$guid"
done <"$WORK/shared.guids"

[ "$failures" -eq 0 ] && echo "all table checks passed" || echo "$failures table checks failed"
[ "$failures" -eq 0 ]
