#!/usr/bin/env bash
# End to end: quorvel.exe -fs without a disk path, on the CD-ROM drive D: with a disk
# without movies. A USB stick with movies that comes while it runs (a removable drive
# made through Wine's mount manager, announced by DBT_DEVICEARRIVAL, which Wine never
# sends for a drive mapped to a folder) is shown instead of the drive at once, and never
# played by itself, even with Autoplay set.
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

write_settings '"Autoplay"=dword:00000001'
clear_disk
stick=""
remove_stick() { [ -z "$stick" ] || wine "$WIN_PROBE" remove-drive "$stick" >/dev/null 2>&1 || true; }
trap 'remove_stick; cleanup' EXIT
export QUORVEL_WIN_RECORD_LOG
QUORVEL_WIN_RECORD_LOG=$(win_path "$work")\\players.log
start_program -fs
wait_for 30 'shows label "No Movies"' || fail "the drive's disk without movies is not shown"

# The stick: a label of its own, one movie.
mkdir -p "$work/stick"
echo "HOLIDAY" >"$work/stick/.windows-label"
make_avi "$work/stick/holiday.avi" 1
stick=$(wine "$WIN_PROBE" define-drive "$work/stick" 2>/dev/null | tr -d '\r')
[ -n "$stick" ] || fail "no drive for the stick"
# Announced: shown at once (under Wine now and then only by the next poll, which
# comes within the wait as well).
wine "$WIN_PROBE" device-arrival "$stick" >/dev/null 2>&1 || fail "the broadcast failed"
wait_for 8 'shows movies "holiday"' || fail "the stick was not shown at its arrival"
shows label HOLIDAY || fail "the stick's label is not shown"
# A whole poll later nothing was played.
sleep 6
[ ! -s "$work/players.log" ] || fail "the stick was played: $(cat "$work/players.log")"
shows visible 1 || fail "the window is not shown"
key q
wait_program_end 30 || fail "Off did not end the program"
echo "passed"
