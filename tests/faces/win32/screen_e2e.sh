#!/usr/bin/env bash
# End to end: quorvel.exe -fs -p D:\ under Wine on the CD-ROM drive D:, driven with
# xdotool only. A drive without its disk shows "No Disk"; the disk put in while the
# program runs is shown within one poll with its label, movies and cover; Down, Enter, P
# and the media key Play each start the recording player once with exactly the composed
# command line; a second copy ends at once; Escape hides the window into the tray
# (trayer) and a click on the icon brings it back, also after "TaskbarCreated"; "Off"
# with "Shutdown" set powers off, which Wine carries out by starting wineboot, replaced
# here by the recorder.
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

poll_seconds=5

# The power-off recorder: Wine's ExitWindowsEx starts C:\windows\system32\wineboot.exe,
# taken from this copy of the recorder while the program runs (native before builtin).
system32=$WINEPREFIX/drive_c/windows/system32
cp "$system32/wineboot.exe" "$work/wineboot.exe.saved"
restore_wineboot() { cp "$work/wineboot.exe.saved" "$system32/wineboot.exe"; }
trap 'restore_wineboot; cleanup' EXIT
cp "$WIN_RECORDER" "$system32/wineboot.exe"

write_settings '"Shutdown"=dword:00000001'
start_tray() {
  trayer --edge bottom --align right --widthtype request --height 32 --transparent false \
    >/dev/null 2>&1 &
  tray_pid=$!
  helpers+=("$tray_pid")
}
start_tray

# No disk in the drive: the folder behind D: is not there.
clear_disk
disk_label=$(cat "$CDROM/.windows-label")
mv "$CDROM" "$work/disk-out"

export QUORVEL_WIN_RECORD_LOG
QUORVEL_WIN_RECORD_LOG=$(win_path "$work")\\players.log
: >"$work/players.log"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wineboot.exe=n" start_program -fs -p 'D:\'
wait_for 30 'shows label "No Disk"' || fail "the window never showed No Disk"
[ "$(field visible)" = 1 ] || fail "the window is not shown"
[ "$(field choices)" = "Options|Off" ] || fail "no disk: choices $(field choices)"

# The disk goes in: movies, a cover.
make_avi "$work/disk-out/one.avi" 1
make_avi "$work/disk-out/two.avi" 2
make_cover "$work/disk-out/cover.bmp" 120x90 "#ff0000"
printf '[Movies]\r\nThe First=ONE.AVI\r\nThe Second=TWO.AVI\r\n[Picture]\r\nCOVER.BMP\r\n' \
  >"$work/disk-out/Configuration.ini"
mv "$work/disk-out" "$CDROM"
wait_for $((poll_seconds + 5)) "shows label \"$disk_label\"" ||
  fail "the disk was not shown within one poll"
shows movies "Play all movie files|The First|The Second" || fail "movies: $(field movies)"
shows movies_selected 0 || fail "row 0 is not selected"
shows choices "Play|Options|Off" || fail "choices: $(field choices)"

# The cover: a red area on the screen, left of the choices and below the movies.
import -window root "$work/screen.png"
red=$(/usr/bin/convert "$work/screen.png" -fill black +opaque "#ff0000" -fill white \
  -opaque "#ff0000" -format "%[fx:int(mean*w*h)]" info:)
[ "$red" -gt 1000 ] || fail "no cover on the screen ($red red pixels)"

# Left: the focus goes to the movie list; Down selects the first movie, whose choices
# follow; Right goes back to the choices, Enter plays.
shows focus 1021 || fail "the choice list has not the focus at the start"
key Left
shows focus 1022 || fail "Left did not move the focus to the movie list"
key Down
shows movies_selected 1 || fail "Down did not select the first movie"
key Right
shows focus 1021 || fail "Right did not move the focus back"
key Return
recorder=$(win_path "$WIN_RECORDER")
expected="\"$recorder\" --fs \"D:\\one.avi\""
wait_for 10 '[ "$(recorded_count)" -ge 1 ]' || fail "Enter started no player"
# P plays the movie list's selection; the media key Play acts as P, once.
key p
wait_for 10 '[ "$(recorded_count)" -ge 2 ]' || fail "P started no player"
key XF86AudioPlay
wait_for 10 '[ "$(recorded_count)" -ge 3 ]' || fail "the media key Play started no player"

# A second copy ends at once, and the first one goes on.
wine "$QUORVEL_EXE" -fs -p 'D:\' >/dev/null 2>&1 </dev/null &
second=$!
wait_for 30 '! kill -0 "$second" 2>/dev/null' || fail "the second copy still runs"
shows visible 1 || fail "the first copy went"

# Escape: into the tray; a click on its icon brings the window back, also after the
# taskbar announced itself anew (the icon is still there: it is modified, not added).
key Escape
wait_for 10 'shows visible 0' || fail "Escape did not hide the window"
wine "$WIN_PROBE" taskbar-created >/dev/null 2>&1 || fail "no TaskbarCreated broadcast"
sleep 0.5
shows visible 0 || fail "TaskbarCreated showed the window"
# Clicks the icon in the tray until the window is back, at most `seconds`.
click_icon() {
  local tray
  tray=$(xdotool search --onlyvisible --class trayer | head -1)
  [ -n "$tray" ] || return 1
  wait_for "$1" 'xdotool mousemove --window "$tray" 16 16 click 1; sleep 0.5; shows visible 1'
}
# Now and then Wine docks an icon into trayer so that it gets no pointer input, and the
# first click makes the tray let it go (into Wine's own tray window): the program has
# no part in it. A tray host that starts anew has Wine dock the icon again, as it
# would after a restarted desktop panel, and its click is tried once more.
for attempt in 1 2 3; do
  click_icon 5 && break
  [ "$attempt" = 3 ] && fail "a click on the tray icon did not bring the window back"
  echo "the icon took no click in the tray (attempt $attempt): the tray starts anew" >&2
  kill "$tray_pid" 2>/dev/null || true
  wait "$tray_pid" 2>/dev/null || true
  start_tray
  wait_for 10 'xwininfo -root -tree | grep -A4 "\"panel\"" | grep -q explorer.exe' ||
    fail "the icon was not docked into the new tray"
done

# Every key acted once, each with exactly the composed command line.
[ "$(recorded_count)" = 3 ] || fail "players started: $(recorded)"
while IFS= read -r line; do
  [ "$line" = "$expected" ] || fail "player command line: [$line], expected [$expected]"
done < <(recorded)

# Off with "Shutdown": the window ends, the program with it, and Windows is powered off:
# the recorder standing in for wineboot logs its command line as the fourth.
key q
wait_program_end 30 || fail "Off did not end the program"
wait_for 10 '[ "$(recorded_count)" -ge 4 ]' || fail "Off did not power off"
recorded | sed -n 4p | grep -qi -- "wineboot.exe.* --shutdown" ||
  fail "power off: $(recorded | sed -n 4p)"
echo "passed"
