#!/usr/bin/env bash
# Pictures of the Windows program's windows as Wine draws them: the real
# quorvel.exe of the Windows build (scripts/windows.sh, build-win64/ or
# $QUORVEL_WIN_BUILD_DIR) on drive D: of its Wine prefix, on an X display of 1280 x 720,
# captured from the screen into docs/win32-*.png (or the folder given as the argument).
# It ends the prefix's wineserver between pictures (Wine reads a drive's label when its
# mount manager starts), so it must not run beside scripts/windows.sh.
#
#   scripts/win32-snapshots.sh [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${QUORVEL_WIN_BUILD_DIR:-$root/build-win64}
build=$out/build
docs=${1:-$root/docs}
mkdir -p "$docs"
docs=$(cd "$docs" && pwd)
for tool in "$build/quorvel/quorvel.exe" "$build/tests/faces/win32/win_probe.exe"; do
  [ -f "$tool" ] || { echo "win32-snapshots.sh: build first (scripts/windows.sh): no $tool" >&2; exit 1; }
done

export WINEPREFIX=$out/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"
export DBUS_SESSION_BUS_ADDRESS=disabled:
export root build docs cdrom=$out/cdrom-d
work=$(mktemp -d)
export work
trap 'rm -rf "$work"' EXIT

xvfb-run -a -s "-screen 0 1280x720x24" bash -euo pipefail -c '
probe() { wine "$build/tests/faces/win32/win_probe.exe" state 2>/dev/null | tr -d "\r" | sed -n "s/^$1=//p"; }
wait_for() {
  local until=$((SECONDS + 30))
  while [ $SECONDS -le $until ]; do eval "$1" && return 0; sleep 0.3; done
  echo "win32-snapshots.sh: gave up waiting for: $1" >&2
  return 1
}

# shot NAME LABEL FOLDER [KEYS...]: FOLDER as the disk in drive D: with LABEL ("" FOLDER:
# an empty drive), KEYS pressed before the picture.
shot() {
  local name=$1 label=$2 folder=$3
  shift 3
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$cdrom"
  if [ -n "$folder" ]; then
    cp -r "$folder" "$cdrom"
    echo "$label" >"$cdrom/.windows-label"
  fi
  wine "$build/quorvel/quorvel.exe" -fs -p "D:\\" >/dev/null 2>&1 </dev/null &
  local pid=$!
  local shown=${label:-No Disk}
  wait_for "[ \"\$(probe label)\" = \"$shown\" ]"
  for key in "$@"; do xdotool key "$key"; sleep 0.3; done
  sleep 1
  import -window root "$docs/win32-$name.png"
  xdotool key q
  wait "$pid" 2>/dev/null || true
}

# A disk of the demo movies, each under a title of its own.
demo=$root/samples/demo-disk
mkdir -p "$work/languages"
cp "$demo/colour-bars.avi" "$work/languages/Colour Bars.avi"
cp "$demo/two-languages.avi" "$work/languages/Two Languages.avi"

wine reg delete "HKCU\\Software\\Ostrell\\Quorvel" /f >/dev/null 2>&1 || true
shot no-disk "" ""
shot demo-disk "QUORVEL DEMO" "$demo"
# Row 2 is "Two Languages", a movie with two audio streams: the choices offer both.
shot two-languages "TEST DISK" "$work/languages" Left Down Down
# A theme of the program'"'"'s own, as the Linux pictures show it.
wine regedit /S "$(winepath -w "$root/tests/data/gui/demo-theme.reg")" >/dev/null 2>&1
shot demo-theme "QUORVEL DEMO" "$demo"

# The desk windows, in start mode 0 with the two players of the Linux pictures: the main
# dialog on the demo disk with the movie of two languages selected, the About box, every
# page of the options sheet and the Player Info dialog of a player ("Configure Player").
wine reg delete "HKCU\\Software\\Ostrell\\Quorvel" /f >/dev/null 2>&1 || true
wine regedit /S "$(winepath -w "$root/tests/data/gui/two-players.reg")" >/dev/null 2>&1
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
capture() { sleep 0.7; import -window "$(window "$1")" "$docs/win32-$2.png"; }
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$cdrom" && cp -r "$demo" "$cdrom" && echo "QUORVEL DEMO" >"$cdrom/.windows-label"
wine "$build/quorvel/quorvel.exe" -p "D:\\" >/dev/null 2>&1 </dev/null &
pid=$!
wait_for "[ -n \"\$(window Quorvel)\" ]"
sleep 1
for key in Tab Tab Tab Down Down Down Down Down; do xdotool key "$key"; sleep 0.2; done
capture Quorvel main-dialog
# The About item is the last of the system menu.
xdotool key alt+space; sleep 0.5; xdotool key Up Return
wait_for "[ -n \"\$(window \"About Quorvel\")\" ]"
capture "About Quorvel" about
xdotool key Return; sleep 0.5
xdotool key alt+o
wait_for "[ -n \"\$(window \"Quorvel Options\")\" ]"
sheet=$(window "Quorvel Options")
# The tabs as Wine draws the sheet, left to right.
x=34
for page in general view disks players codecs; do
  xdotool mousemove --window "$sheet" "$x" 40 click 1
  capture "Quorvel Options" "options-$page"
  case $page in general) x=89 ;; view) x=144 ;; disks) x=197 ;; players) x=251 ;; esac
done
xdotool mousemove --window "$sheet" 197 40 click 1; sleep 0.5
xdotool mousemove --window "$sheet" 40 70 click 1; sleep 0.3
xdotool mousemove --window "$sheet" 232 261 click 1
wait_for "[ -n \"\$(window \"Configure Player\")\" ]"
capture "Configure Player" player-info
xdotool key Escape; sleep 0.5; xdotool key Escape; sleep 0.5; xdotool key Escape
wait "$pid" 2>/dev/null || true
wine reg delete "HKCU\\Software\\Ostrell\\Quorvel" /f >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
'
# The drive as scripts/windows.sh keeps it for the tests.
rm -rf "$out/cdrom-d" && mkdir -p "$out/cdrom-d" && echo "MOVIE NIGHT" >"$out/cdrom-d/.windows-label"
echo "win32-snapshots.sh: pictures in $docs/win32-*.png" >&2
