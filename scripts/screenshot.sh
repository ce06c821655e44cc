#!/bin/sh
# Shows the page with `znhost.exe gui` under Wine on a virtual display (Xvfb), the page active as
# a document in the host's window; chooses a record type and types a file name by input messages
# (page_driver.exe), and writes a PNG of the window; then the same in a high-contrast colour
# scheme (page-high-contrast.png, in a prefix of its own) and inside Wine's WebBrowser control.
#   scripts/screenshot.sh [BUILD [PNG]]   defaults: build/win-x64, docs/page.png
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${1:-build/win-x64}
out=$root/${2:-docs/page.png}

# One display for everything: a wineserver keeps the display it was started with.
if [ -z "${ZN_SCREENSHOT_DISPLAY:-}" ]; then
    ZN_SCREENSHOT_DISPLAY=1 exec xvfb-run -a -s "-screen 0 560x380x24" sh "$0" "$@"
fi

work=$build/screenshot
mkdir -p "$work" "$(dirname "$out")"
export WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
driver() { wine "$build/bin/page_driver.exe" "$@"; }

# use_prefix NAME [REG]: the prefix $work/NAME, made on first use with Wine's own fonts (MS Sans
# Serif, Marlett for the caption buttons; a prefix made without them has none), the module
# registered, and REG written into it before any of its programs runs.
use_prefix() {
    wineserver -k >/dev/null 2>&1 || true
    export WINEPREFIX="$work/$1"
    if [ ! -d "$WINEPREFIX" ]; then
        wineboot -i >/dev/null 2>&1
        # Wine draws the window's frame and caption itself: the display has no window manager.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        [ -z "${2:-}" ] || wine reg import "$(printf 'Z:%s' "$2" | tr / '\\')" >/dev/null 2>&1
        # The session takes colours up when it starts.
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
    fi
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ]; then
        for f in /usr/share/wine/fonts/*; do
            [ -e "$fonts/$(basename "$f")" ] || cp "$f" "$fonts/"
        done
    fi
    wine "$build/bin/znhost.exe" register "$build/bin/ZNImportPhotos.dll" >/dev/null
}

# shoot PNG: the page with Student chosen and a file name typed, as the window shows it.
shoot() {
    rm -f school.db
    wine "$build/bin/znhost.exe" init school.db >/dev/null
    wine "$build/bin/znhost.exe" gui school.db >gui.log 2>&1 &
    shown=$!
    driver wait >driver.log
    driver choose Student >>driver.log
    driver type 'C:\School\Photos\students.csv' >>driver.log
    cat driver.log
    geometry=$(sed -n 's/^window \([0-9x+]*\).*/\1/p' driver.log | tr -d '\r')
    sleep 1
    xwd -root -silent | /usr/bin/convert xwd:- ${geometry:+-crop "$geometry" +repage} png:"$1"
    driver close
    wait "$shown" || { cat gui.log >&2; exit 1; }
    echo "wrote $1"
}

cd "$work"
use_prefix prefix
shoot "$out"
use_prefix prefix-high-contrast "$root/tests/wine/high_contrast.reg"
shoot "$(dirname "$out")/page-high-contrast.png"
use_prefix prefix

# The same page inside Wine's WebBrowser control, opened from the document file as a browser
# opens it (browser_shot.exe maps .vbd to the page's class only while it runs).
browser_png=$(dirname "$out")/page-in-webbrowser.png
wine regsvr32 /s "$build/bin/ZNImportPhotos.dll"
wine "$build/bin/browser_shot.exe" show >browser.log 2>&1 &
browsing=$!
wine "$build/bin/browser_shot.exe" wait >browser_wait.log || { cat browser.log >&2; exit 1; }
geometry=$(sed -n 's/^window \([0-9x+]*\).*/\1/p' browser_wait.log | tr -d '\r')
sleep 1
xwd -root -silent | /usr/bin/convert xwd:- ${geometry:+-crop "$geometry" +repage} png:"$browser_png"
wine "$build/bin/browser_shot.exe" close
wait "$browsing" || { cat browser.log >&2; exit 1; }
echo "wrote $browser_png"
