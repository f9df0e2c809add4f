#!/usr/bin/env bash
# Renders the pictures of the windows shown in README.md into docs/ (or into the folder
# given as the argument), with the built snapshot tool (build/ or $QUORVEL_BUILD_DIR) on
# Qt's offscreen platform.
#
#   scripts/snapshots.sh [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tool=${QUORVEL_BUILD_DIR:-$root/build}/tests/faces/qt/quorvel_snapshot
players=$root/tests/data/gui/two-players.reg
docs=${1:-$root/docs}
mkdir -p "$docs"
docs=$(cd "$docs" && pwd)
cd "$root"
export QT_QPA_PLATFORM=offscreen
for scale in 1 2; do
  "$tool" --window options-sheet --page General --scale "$scale" \
    --out "$docs/options-general-${scale}00.png"
  "$tool" --window options-sheet --page View --registry "$players" --scale "$scale" \
    --out "$docs/options-view-${scale}00.png"
done
for page in Disks Players Codecs; do
  "$tool" --window options-sheet --page "$page" --registry "$players" \
    --out "$docs/options-$(echo "$page" | tr '[:upper:]' '[:lower:]')-100.png"
done
# The demo disk as the main dialog shows it, with the movie of two languages selected; read
# from a folder of the same name wherever the checkout is, so the picture shows no path of
# this machine's. Two runs at once (the comparison test, another checkout) take turns.
disk=/tmp/quorvel-snapshots/demo-disk
(
  flock 9
  rm -rf "$disk" && mkdir -p "$(dirname "$disk")" && cp -r samples/demo-disk "$disk"
  "$tool" --window main-dialog --disk "$disk" --select 4 --registry "$players" \
    --out "$docs/main-dialog-100.png"
  rm -rf "$(dirname "$disk")"
) 9>/tmp/quorvel-snapshots.lock
"$tool" --window about --out "$docs/about-100.png"

# The full-screen window at 1280 x 720 on disks in an optical drive. The drive is a
# machine described by files (QUORVEL_VOLUME_SOURCES), so that each disk has a label.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
demo=$root/samples/demo-disk

# fullscreen NAME LABEL FOLDER [snapshot options...]: FOLDER mounted from /dev/sr0 with
# LABEL ("" FOLDER: an empty drive).
fullscreen() {
  local name=$1 label=$2 folder=$3
  shift 3
  local machine=$work/machine-$name
  mkdir -p "$machine/dev" "$machine/udev"
  : >"$machine/dev/sr0"
  : >"$machine/fstab"
  echo "26 1 0:99999 / / rw - ext4 /dev/vda rw" >"$machine/mountinfo"
  local disk=$machine/dev/sr0
  if [ -n "$folder" ]; then
    echo "100 1 11:0 / $folder ro - iso9660 /dev/sr0 ro" >>"$machine/mountinfo"
    printf 'E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=%s\n' "${label// /\\x20}" >"$machine/udev/b11:0"
    disk=$folder
  fi
  QUORVEL_VOLUME_SOURCES=$machine "$tool" --window fullscreen --size 1280x720 --disk "$disk" \
    "$@" --out "$docs/fullscreen-$name.png"
}

# disk NAME FILE...: a folder of the given demo movies, each under a title of its own.
disk() {
  local folder=$work/$1
  shift
  mkdir -p "$folder"
  while [ $# -gt 0 ]; do
    cp "$demo/$1" "$folder/$2"
    shift 2
  done
  echo "$folder"
}

fullscreen no-disk "" ""
photos=$(disk photos)
echo "not a movie" >"$photos/readme.txt"
fullscreen no-movies "HOLIDAY PHOTOS" "$photos"
fullscreen one-movie "TEST PATTERN" "$(disk one test-pattern.avi "Test Pattern.avi")"
fullscreen several-movies "TEST DISK" "$(disk several colour-bars.avi "Colour Bars.avi" \
  test-pattern.avi "Test Pattern.avi" two-languages.avi "Two Languages.avi")"
# Row 2 is "Two Languages", a movie with two audio streams: the choices offer both.
fullscreen two-languages "TEST DISK" "$(disk languages colour-bars.avi "Colour Bars.avi" \
  two-languages.avi "Two Languages.avi")" --select 2
fullscreen demo-disk "QUORVEL DEMO" "$demo"

# A theme of the program's own: dark green and cream, a serif label, larger rows.
font() {  # font HEIGHT WEIGHT ITALIC FACE: the 60-byte record as REGEDIT4 hex
  local height=$1 weight=$2 italic=$3 face=$4 bytes=""
  le32() { printf '%02x,%02x,%02x,%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
  bytes="$(le32 $((height & 0xffffffff))),$(le32 0),$(le32 0),$(le32 0),$(le32 "$weight")"
  bytes+=",$(printf '%02x' "$italic"),00,00,01,00,00,00,00"
  local i
  for ((i = 0; i < 32; i++)); do
    if [ $i -lt ${#face} ]; then bytes+=",$(printf '%02x' "'${face:i:1}")"; else bytes+=",00"; fi
  done
  echo "$bytes"
}
cat >"$work/theme.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel\\Themes]
"LabelFg"=dword:00c8f0ff
"LabelBg"=dword:00182810
"MoviesFg"=dword:0090c8a0
"MoviesBg"=dword:00182810
"MoviesHighFg"=dword:00182810
"MoviesHighBg"=dword:00c8f0ff
"ChoiceFg"=dword:0090c8a0
"ChoiceBg"=dword:00182810
"ChoiceHighFg"=dword:0040c0ff
"ChoiceHighBg"=dword:00305838
"LabelFont"=hex:$(font -44 400 1 "DejaVu Serif")
"MoviesFont"=hex:$(font -26 700 0 "DejaVu Sans")
"ChoiceFont"=hex:$(font -30 700 0 "DejaVu Sans")
REG
fullscreen demo-theme "QUORVEL DEMO" "$demo" --registry "$work/theme.reg"
