#!/usr/bin/env bash
# Renders the pictures of the windows shown in README.md into docs/, with the built
# snapshot tool (build/ or $QUORVEL_BUILD_DIR) on Qt's offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tool=${QUORVEL_BUILD_DIR:-$root/build}/tests/gui/quorvel_snapshot
mkdir -p "$root/docs"
for scale in 1 2; do
  QT_QPA_PLATFORM=offscreen "$tool" --window options-sheet --page General --scale "$scale" \
    --out "$root/docs/options-general-${scale}00.png"
done
