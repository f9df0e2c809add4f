#!/usr/bin/env bash
# Renders icon 128 from its SVG source into the PNGs and the .ico that the build uses.
# The outputs are committed; run this after changing resources/icon/quorvel.svg.
set -euo pipefail
icon=$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources/icon" && pwd)
convert=/usr/bin/convert  # ImageMagick; another `convert` may come first on PATH
for size in 16 32 256; do
  "$convert" -background none -density 300 "$icon/quorvel.svg" -resize "${size}x${size}" \
    -depth 8 "PNG32:$icon/quorvel-$size.png"
done
"$convert" "$icon/quorvel-16.png" "$icon/quorvel-32.png" "$icon/quorvel-256.png" "$icon/quorvel.ico"
