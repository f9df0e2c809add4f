#!/usr/bin/env bash
# End to end: the desk windows of quorvel.exe under Wine, driven with xdotool only. O on
# the full-screen window opens "Quorvel Options"; a command line changed on the Disks
# page and OK is in Wine's registry (reg query). In start mode 0 the main dialog reads
# the disk, and its Play starts the recording player of the selected movie with exactly
# the composed command line.
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

main_key='HKCU\Software\Ostrell\Quorvel'
stored() {
  wine reg query "$main_key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }

write_settings '"FullScreen"=dword:00000000'
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
