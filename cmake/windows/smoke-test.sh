#!/usr/bin/env bash
# The installer in a fresh Wine prefix, as a Windows user gets it: installed
# silently (/S), the program started from its Start-menu entry on the windows
# platform under Xvfb and closed in order by WM_CLOSE (taskkill without /F),
# its data folder checked byte for byte against the golden files, then the
# uninstaller run, which must leave the data and the settings alone. A
# screenshot of the running program is kept as BUILD/smoke/windows.png
# (the README's picture: copy it to docs/windows.png).
# Usage: smoke-test.sh BUILD
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
installer=$(ls "$build"/Vantorel-Setup-*.exe)
work="$build/smoke"
golden="$src/tests/windows/golden"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
fail() { echo "smoke test: $*" >&2; exit 1; }
# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local n=$1; shift
    for ((i = 0; i < n; i++)); do "$@" && return 0; sleep 0.1; done
    return 1
}

rm -rf "$work"
mkdir -p "$work"
# A display of its own, on the first free number.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"

wineboot --init > "$work/wine.log" 2>&1
# Chinese fonts where Windows has its own: Noto CJK in the prefix's font folder.
cp /usr/share/fonts/opentype/noto/Noto{Sans,Serif}CJK-Regular.ttc "$WINEPREFIX/drive_c/windows/Fonts/"

echo "smoke test: installing $(basename "$installer") silently"
wine "$installer" /S >> "$work/wine.log" 2>&1 || fail "the installer failed"
programs="$WINEPREFIX/drive_c/Program Files/Vantorel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantorel.lnk"
[ -f "$programs/vantorel.exe" ] || fail "no vantorel.exe in Program Files"
[ -f "$menu" ] || fail "no Start-menu entry"

# The user's data folder, as the program will find it (%USERPROFILE%\Vantorel):
# data1.bcm with bytes after its last record (the program keeps a copy of it
# and writes it anew at close), data3.bcm missing (written at close).
profile=$(wine cmd /c 'echo %USERPROFILE%' 2> /dev/null | tr -d '\r')
data=$(winepath -u "$profile\\Vantorel")
expected="$work/expected"
mkdir -p "$data" "$expected"
tool() { wine "C:\\Program Files\\Vantorel\\vantorel-data.exe" "$@"; }
tool build --kind policies 'Z:'"${expected//\//\\}"'\data1.bcm' < "$golden/policies.json"
tool build --kind clients 'Z:'"${expected//\//\\}"'\data2.bcm' < "$golden/clients.json"
echo '[]' | tool build --kind members 'Z:'"${expected//\//\\}"'\data3.bcm'
tool build --kind schedule 'Z:'"${expected//\//\\}"'\data4.bcm' < "$golden/schedule.json"
cp "$expected"/data{1,2,4}.bcm "$data/"
printf 'unread' >> "$data/data1.bcm"
cp "$data/data1.bcm" "$work/data1-with-unread-bytes.bcm"

echo "smoke test: starting the program from the Start menu"
wine start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Vantorel.lnk" >> "$work/wine.log" 2>&1
wait_for 600 test -f "$data/vantorel.lock" || fail "the program did not take its data folder"
# The window built and painted, whatever box the start shows over it.
sleep 8
xwd -root -silent | xwdtopnm 2> /dev/null | pnmtopng > "$work/windows.png"
tasks() { wine tasklist 2> /dev/null | tr -d '\r'; }
tasks | grep -qi '^vantorel.exe' || fail "the program is not running"

echo "smoke test: closing it with taskkill (WM_CLOSE)"
# Each WM_CLOSE closes the window in front: a start-up box first, then the main window.
for attempt in 1 2 3 4 5; do
    wine taskkill /IM vantorel.exe >> "$work/wine.log" 2>&1 || true
    wait_for 100 test ! -e "$data/vantorel.lock" && break
done
wait_for 100 sh -c '! wine tasklist 2>/dev/null | grep -qi "^vantorel.exe"' || fail "the program did not end"

for f in data1.bcm data2.bcm data3.bcm data4.bcm; do
    cmp "$expected/$f" "$data/$f" || fail "$f is not the golden file"
done
unread=$(ls "$data"/data1.bcm.unread-* 2> /dev/null | head -n 1)
[ -n "$unread" ] && cmp "$work/data1-with-unread-bytes.bcm" "$unread" || fail "no copy of data1.bcm as it was read"
for f in vantorel.lock vantorel.journal; do [ ! -e "$data/$f" ] || fail "$f left behind"; done
ls "$data"/*.saving > /dev/null 2>&1 && fail "a save left its temporary file"
# The reminder switches, saved at close in the registry (QSettings' native format).
wine reg query 'HKCU\Software\Vantorel\vantorel\AWOKE' 2> /dev/null | tr -d '\r' > "$work/settings.txt"
for k in CALENDAR TBRSR BTBRSR QLKHSR TDCRSR XQJFSR; do
    grep -q "^ *$k *REG_" "$work/settings.txt" || fail "no setting $k in the registry"
done

echo "smoke test: uninstalling"
wine "$programs/uninstall.exe" /S >> "$work/wine.log" 2>&1 || fail "the uninstaller failed"
# The uninstaller copies itself away and returns at once.
wait_for 300 test ! -e "$programs/vantorel.exe" || fail "the uninstaller left the program"
wait_for 100 test ! -e "$menu" || fail "the uninstaller left the Start-menu entry"
for f in data1.bcm data2.bcm data3.bcm data4.bcm; do cmp "$expected/$f" "$data/$f" || fail "uninstalling touched $f"; done
wine reg query 'HKCU\Software\Vantorel\vantorel\AWOKE' > /dev/null 2>&1 || fail "uninstalling removed the settings"
echo "smoke test: passed (screenshot: $work/windows.png)"
