#!/usr/bin/env bash
# End to end: the desk windows of quorvel.exe under Wine, driven with xdotool only. O on
# the full-screen window opens "Quorvel Options"; a command line changed on the Disks
# page and OK is in Wine's registry (reg query). In start mode 0 the main dialog reads
# the disk, and its Play starts the recording player of the selected movie with exactly
# the composed command line. "Find Installed Players" finds the players whose
# installation keys the test writes into Wine's registry, asks for each, and OK stores
# them.
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

main_key='HKCU\Software\Ostrell\Quorvel'
stored() {
  wine reg query "$main_key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }

write_settings '"FullScreen"=dword:00000000'
# Two players installed as their installers record it: BSPlayer by its program's path,
# Zoom Player by its folder.
mkdir -p "$work/zoom"
cp "$WIN_RECORDER" "$work/zoom/zplayer.exe"
wine reg add 'HKCU\Software\BST\bsplayer' /v AppPath /d "$(win_path "$WIN_RECORDER")" /f \
  >/dev/null 2>&1
wine reg add 'HKCU\Software\VirtuaMedia\ZoomPlayer' /v InstallDirectory \
  /d "$(win_path "$work/zoom")" /f >/dev/null 2>&1
forget_players() {
  wine reg delete 'HKCU\Software\BST' /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\VirtuaMedia' /f >/dev/null 2>&1 || true
}
trap 'forget_players; cleanup' EXIT
clear_disk
make_avi "$CDROM/one.avi" 1
export QUORVEL_WIN_RECORD_LOG
QUORVEL_WIN_RECORD_LOG=$(win_path "$work")\\players.log

# The full-screen window, O, the Disks page, a command line of its own, OK.
start_program -fs -p 'D:\'
wait_for 30 'shows movies "one"' || fail "the full-screen window does not show the disk"
key o
wait_for 10 '[ -n "$(window_named "Quorvel Options")" ]' || fail "O opened no options sheet"
sheet=$(window_named "Quorvel Options")
# The tabs, as Wine draws the sheet: General, View, Disks, ...
xdotool mousemove --window "$sheet" 144 40 click 1
sleep 0.5
# The DivX command line, the first edit of the page.
xdotool mousemove --window "$sheet" 260 98 click 1
key End shift+Home
xdotool type --delay 20 -- "--changed %f"
key Return
wait_for 10 '[ -z "$(window_named "Quorvel Options")" ]' || fail "OK did not close the sheet"
[ "$(stored "DivX Command Line")" = "--changed %f" ] ||
  fail "the registry holds [$(stored "DivX Command Line")]"
shows visible 1 || fail "the full-screen window went with the sheet"

# O again, the Players page, "Find Installed Players": Yes to each question, then OK.
key o
wait_for 10 '[ -n "$(window_named "Quorvel Options")" ]' || fail "O opened no options sheet"
sheet=$(window_named "Quorvel Options")
xdotool mousemove --window "$sheet" 197 40 click 1
sleep 0.5
xdotool mousemove --window "$sheet" 190 293 click 1
questions=0
while wait_for 3 '[ -n "$(window_named Quorvel)" ]'; do
  questions=$((questions + 1))
  [ $questions -le 10 ] || fail "the questions do not end"
  xdotool windowactivate --sync "$(window_named Quorvel)" 2>/dev/null || true
  key Return
  sleep 0.5
done
[ $questions -ge 2 ] || fail "only $questions players were found"
# OK, at the foot of the sheet, which is as tall as its tallest page.
eval "$(xdotool getwindowgeometry --shell "$sheet")"
xdotool mousemove --window "$sheet" 250 $((HEIGHT - 23)) click 1
wait_for 10 '[ -z "$(window_named "Quorvel Options")" ]' || fail "OK did not close the sheet"
player_path() {
  wine reg query "$main_key\\Players\\$1" /v AppPath 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *AppPath *REG_SZ *//p'
}
[ "$(player_path BSPlayer)" = "$(win_path "$WIN_RECORDER")" ] ||
  fail "BSPlayer was not stored: [$(player_path BSPlayer)]"
[ "$(player_path "Zoom Player")" = "$(win_path "$work/zoom")\\zplayer.exe" ] ||
  fail "Zoom Player was not stored: [$(player_path "Zoom Player")]"
key q
wait_program_end 30 || fail "Off did not end the program"

# Start mode 0: the main dialog on the disk; the movie's row, then Play.
start_program -p 'D:\'
wait_for 30 '[ -n "$(window_named "Quorvel")" ]' || fail "no main dialog"
sleep 1
# The field list is the fourth tab stop: the rows Drive Type, Disk Label, the movie.
key Tab Tab Tab
key Down Down Down
key alt+p
recorder=$(win_path "$WIN_RECORDER")
wait_for 10 '[ "$(recorded_count)" -ge 1 ]' || fail "Play started no player"
[ "$(recorded)" = "\"$recorder\" --changed \"D:\\one.avi\"" ] ||
  fail "player command line: [$(recorded)]"
key Escape
wait_program_end 30 || fail "closing the main dialog did not end the program"
clear_disk
echo "passed"
