#!/usr/bin/env bash
# End to end: quorvel-setup.exe installs silently under Wine (/S) into Program Files with
# its Start-menu entry and its uninstaller registered; the installed quorvel.exe shows a
# disk in drive D:; the uninstaller (/S) takes everything away again but the user's
# settings, which the run wrote.
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

programs=$WINEPREFIX/drive_c/Program\ Files/Quorvel
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Quorvel
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel'
settings_key='HKCU\Software\Ostrell\Quorvel'
registry_has() { wine reg query "$1" >/dev/null 2>&1; }
remove_leftovers() {
  wine reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
  rm -rf "$programs" "$menu"
}
trap 'remove_leftovers; cleanup' EXIT
remove_leftovers
wine reg delete "$settings_key" /f >/dev/null 2>&1 || true

wine "$SETUP" /S >/dev/null 2>&1 || fail "the installer failed"
[ -f "$programs/quorvel.exe" ] && [ -f "$programs/quorvelctl.exe" ] ||
  fail "the programs are not in Program Files"
[ -f "$programs/uninstall.exe" ] || fail "no uninstaller"
[ -f "$menu/Quorvel.lnk" ] || fail "no Start-menu entry"
[ "$(ls "$programs" | sort | tr '\n' ' ')" = "quorvel.exe quorvelctl.exe uninstall.exe " ] ||
  fail "Program Files holds more: $(ls "$programs")"
uninstall=$(wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_SZ *//p')
[ "$uninstall" = '"C:\Program Files\Quorvel\uninstall.exe"' ] ||
  fail "the uninstaller is not registered: [$uninstall]"
registry_has "$settings_key" && fail "the installer wrote the user's settings"

# The installed program on a disk.
clear_disk
make_avi "$CDROM/movie.avi" 1
QUORVEL_EXE=$programs/quorvel.exe start_program -fs -p 'D:\'
wait_for 30 'shows movies "movie"' || fail "the installed program does not show the disk"
key q
wait_program_end 30 || fail "Off did not end the installed program"
clear_disk
registry_has "$settings_key" || fail "the run kept no settings"

# The uninstaller copies itself away and returns at once: its work is done when the
# folder has gone.
wine "$programs/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed"
wait_for 60 '[ ! -e "$programs" ]' || fail "Program Files still holds: $(ls "$programs")"
wait_for 10 '[ ! -e "$menu" ]' || fail "the Start-menu entry is still there"
registry_has "$uninstall_key" && fail "the uninstaller is still registered"
registry_has "$settings_key" || fail "the user's settings went with the program"
echo "passed"
