#!/usr/bin/env bash
# Makes the demo disk in samples/demo-disk/ (or in the folder given): a disk as the DivX
# Autorun tool lays it out, with three tiny DivX movies drawn by ffmpeg's test sources
# (the third with two audio streams), their configuration.ini, and a cover picture drawn
# by ImageMagick. Everything on it is made here. Needs ffmpeg and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/samples/demo-disk}
mkdir -p "$out"

seconds=2
size=320x240

# MPEG-4 part 2 video tagged DX50 (DivX 5) and MP3 audio in AVI, as on DivX disks; bit-exact
# and without metadata, so that the files only change when this script does.
movie() {
  local file=$1 video=$2
  shift 2
  ffmpeg -hide_banner -loglevel error -y \
    -f lavfi -i "$video=size=$size:rate=25:duration=$seconds" "$@" \
    -c:v mpeg4 -vtag DX50 -q:v 6 -c:a libmp3lame -b:a 32k -ac 1 -ar 22050 \
    -map_metadata -1 -fflags +bitexact -flags:v +bitexact -flags:a +bitexact \
    "$out/$file"
}
tone() { echo "sine=frequency=$1:duration=$seconds:sample_rate=22050"; }

movie test-pattern.avi testsrc2 -f lavfi -i "$(tone 440)" -map 0:v -map 1:a
movie colour-bars.avi smptebars -f lavfi -i "$(tone 660)" -map 0:v -map 1:a
# Two languages: a low tone and a high one, named English and Deutsch.
movie two-languages.avi testsrc -f lavfi -i "$(tone 330)" -f lavfi -i "$(tone 880)" \
  -map 0:v -map 1:a -map 2:a -metadata:s:a:0 title=English -metadata:s:a:1 title=Deutsch

# A poster: a dark blue gradient, a disk with its hole, the title.
/usr/bin/convert -size 600x800 gradient:'#0b1d4f'-'#000010' \
  -fill '#1e3c8c' -stroke '#80c0ff' -strokewidth 6 -draw 'circle 300,470 300,250' \
  -fill '#000010' -stroke '#80c0ff' -strokewidth 4 -draw 'circle 300,470 300,430' \
  -stroke none -fill '#ffff80' -font DejaVu-Sans-Bold -pointsize 84 \
  -gravity north -annotate +0+60 'Quorvel' \
  -fill '#80ffff' -font DejaVu-Sans -pointsize 40 -annotate +0+170 'Demo Disk' \
  -fill '#0080c0' -pointsize 28 -gravity south -annotate +0+50 'three tiny movies' \
  -strip -quality 85 "$out/cover.jpg"

# The DivX Autorun file, with Windows line ends as that tool writes it.
printf '%s\r\n' '[Movies]' 'Test Pattern=test-pattern.avi' 'Colour Bars=colour-bars.avi' \
  'Two Languages=two-languages.avi' '[Picture]' 'cover.jpg' >"$out/configuration.ini"

du -ab "$out" | sort -k2 >&2
