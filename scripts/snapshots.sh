#!/usr/bin/env bash
# Renders the pictures of the windows shown in README.md into docs/, with the built
# snapshot tool (build/ or $QUORVEL_BUILD_DIR) on Qt's offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tool=${QUORVEL_BUILD_DIR:-$root/build}/tests/gui/quorvel_snapshot
players=$root/tests/data/gui/two-players.reg
mkdir -p "$root/docs"
cd "$root"
export QT_QPA_PLATFORM=offscreen
for scale in 1 2; do
  "$tool" --window options-sheet --page General --scale "$scale" \
    --out "docs/options-general-${scale}00.png"
  "$tool" --window options-sheet --page View --registry "$players" --scale "$scale" \
    --out "docs/options-view-${scale}00.png"
done
for page in Disks Players Codecs; do
  "$tool" --window options-sheet --page "$page" --registry "$players" \
    --out "docs/options-$(echo "$page" | tr '[:upper:]' '[:lower:]')-100.png"
done
# The demo disk as the main dialog shows it, with the movie of two languages selected; read
# from a folder of the same name wherever the checkout is, so the picture shows no path of
# this machine's.
disk=/tmp/quorvel-snapshots/demo-disk
rm -rf "$disk" && mkdir -p "$(dirname "$disk")" && cp -r samples/demo-disk "$disk"
"$tool" --window main-dialog --disk "$disk" --select 4 --registry "$players" \
  --out docs/main-dialog-100.png
rm -rf "$(dirname "$disk")"
"$tool" --window about --out docs/about-100.png
