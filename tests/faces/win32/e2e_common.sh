# Shared by the end-to-end tests of the Windows program: the program under Wine on the
# display and the wineserver that scripts/windows.sh started, driven with xdotool only,
# looked at from outside with win_probe.exe. Sourced; the test sets what it needs first:
#   QUORVEL_EXE, WIN_PROBE, WIN_RECORDER   the programs (build paths)
#   CDROM                                  the folder that drive D: maps
set -euo pipefail

export DBUS_SESSION_BUS_ADDRESS=disabled:
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"

work=$(mktemp -d)
program_pid=""
helpers=()
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
  # The program's own processes end with it; a hung one is ended by its Windows id.
  wine taskkill /f /im quorvel.exe >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  [ -n "${last_state:-}" ] && echo "last state of the window:" >&2 && echo "$last_state" >&2
  exit 1
}

win_path() { winepath -w "$1" 2>/dev/null; }

# Waits until `condition` (a shell command) holds, at most `seconds`; false when it never did.
wait_for() {
  local seconds=$1
  shift
  local until=$((SECONDS + seconds))
  while [ $SECONDS -le $until ]; do
    if eval "$@"; then return 0; fi
    sleep 0.2
  done
  return 1
}

# What the window shows, as win_probe prints it; empty while there is no window.
last_state=""
state() {
  last_state=$(wine "$WIN_PROBE" state 2>/dev/null | tr -d '\r' || true)
  printf '%s\n' "$last_state"
}
field() { state | sed -n "s/^$1=//p"; }
shows() { [ "$(field "$1")" = "$2" ]; }

# Writes the user's settings: the recording player for every movie type, and `extra`
# value lines for the main key.
write_settings() {
  local extra=$1
  local recorder
  recorder=$(win_path "$WIN_RECORDER" | sed 's/\\/\\\\/g')
  cat >"$work/settings.reg" <<REG
REGEDIT4

[-HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel]

[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel]
"DivX Player"="Recorder"
"DivX Command Line"="--fs %f"
"DivX (Audio2) Player"="Recorder"
"DivX (Audio2) Command Line"="--audio=2 %f"
"Mpeg Player"="Recorder"
"Mpeg Command Line"="--fs %f"
$extra

[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel\\Players]

[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel\\Players\\Recorder]
"AppPath"="$recorder"
"CmdLine"="--fs %f"
"Playlist"=dword:00000000
REG
  wine regedit /S "$(win_path "$work/settings.reg")" >/dev/null 2>&1
}

# A movie file whose container has `audio` audio streams (and one video stream).
make_avi() {
  local file=$1 audio=$2
  local inputs=(-f lavfi -i "color=c=black:s=32x32:d=0.2")
  local maps=(-map 0:v)
  for ((i = 1; i <= audio; i++)); do
    inputs+=(-f lavfi -i "anullsrc=r=8000:cl=mono")
    maps+=(-map "$i:a")
  done
  ffmpeg -loglevel error -y "${inputs[@]}" "${maps[@]}" -t 0.2 -c:v mpeg4 -c:a mp2 "$file"
}

# A cover picture: a bitmap of one colour.
make_cover() { /usr/bin/convert -size "$2" "xc:$3" "BMP3:$1"; }

# Empties the disk but for its label file (Wine's mount manager read it at its start).
clear_disk() {
  find "$CDROM" -mindepth 1 -maxdepth 1 ! -name .windows-label -exec rm -rf {} +
}

start_program() {
  wine "$QUORVEL_EXE" "$@" >/dev/null 2>&1 </dev/null &
  program_pid=$!
}

# Waits for the program to end by itself; false when it still runs after `seconds`.
wait_program_end() {
  wait_for "$1" '! kill -0 "$program_pid" 2>/dev/null' || return 1
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}

key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }

# The command lines the recording player was started with, one a line.
recorded() { tr -d '\r' <"$work/players.log" 2>/dev/null || true; }
recorded_count() { recorded | grep -c . || true; }
