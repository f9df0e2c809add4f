#!/usr/bin/env bash
# Makes the second sample in samples/modern-disk/ (or in the folder given): a USB stick
# as people fill one today, with loose movie files that ffmpeg draws from its test
# sources: a Matroska movie with two audio streams (a low tone in English, a high one in
# Deutsch) and an MP4 movie, and a cover picture drawn by ImageMagick. Bit-exact and
# without metadata, so that the files only change when this script does. Needs ffmpeg
# and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/samples/modern-disk}
mkdir -p "$out"

seconds=2
size=320x240
tone() { echo "sine=frequency=$1:duration=$seconds:sample_rate=22050"; }
exact=(-map_metadata -1 -fflags +bitexact -flags:v +bitexact -flags:a +bitexact)

ffmpeg -hide_banner -loglevel error -y \
  -f lavfi -i "testsrc2=size=$size:rate=25:duration=$seconds" \
  -f lavfi -i "$(tone 330)" -f lavfi -i "$(tone 880)" -map 0:v -map 1:a -map 2:a \
  -c:v mpeg4 -q:v 6 -c:a libmp3lame -b:a 32k -ac 1 -ar 22050 "${exact[@]}" \
  -metadata:s:a:0 language=eng -metadata:s:a:0 title=English \
  -metadata:s:a:1 language=ger -metadata:s:a:1 title=Deutsch \
  "$out/Two Languages.mkv"
ffmpeg -hide_banner -loglevel error -y \
  -f lavfi -i "smptehdbars=size=$size:rate=25:duration=$seconds" -f lavfi -i "$(tone 550)" \
  -map 0:v -map 1:a -c:v mpeg4 -q:v 6 -c:a aac -b:a 32k -ac 1 -ar 22050 "${exact[@]}" \
  -movflags +faststart "$out/Colour Bars.mp4"

# A poster: a dark green gradient, a stick, the title.
/usr/bin/convert -size 600x800 gradient:'#0b4f1d'-'#001000' \
  -fill '#1e8c3c' -stroke '#80ffc0' -strokewidth 6 -draw 'roundrectangle 200,300 400,700 30,30' \
  -fill '#c0c0c0' -stroke '#80ffc0' -strokewidth 4 -draw 'rectangle 240,220 360,300' \
  -stroke none -fill '#ffff80' -font DejaVu-Sans-Bold -pointsize 84 \
  -gravity north -annotate +0+60 'Quorvel' \
  -fill '#80ffff' -font DejaVu-Sans -pointsize 40 -annotate +0+170 'Modern Disk' \
  -strip -quality 85 "$out/cover.jpg"

du -ab "$out" | sort -k2 >&2
