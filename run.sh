#!/usr/bin/env bash
# Sets up and builds, then runs the program's main job: the full-screen window on a disk
# (default: the demo disk in samples/demo-disk).
#
# When your settings store has no player yet, the program runs on a demo store under
# build/ with mpv as the player, so that Enter plays the first movie; your own settings
# are never changed. Without a display the window is rendered to build/quorvel-demo.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$root/scripts/setup.sh" run
build=${QUORVEL_BUILD_DIR:-$root/build}
disk=${1:-$root/samples/demo-disk}
ctl=$build/quorvelctl/quorvelctl

config=${XDG_CONFIG_HOME:-$HOME/.config}
case $config in /*) ;; *) config=$HOME/.config ;; esac
store=$config/quorvel/registry.reg

# Does the user's store name a player? Asked of a copy, so that nothing touches the store.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/quorvel"
[ -f "$store" ] && cp "$store" "$scratch/quorvel/registry.reg"
players=$(XDG_CONFIG_HOME=$scratch "$ctl" players --json 2>/dev/null || echo '[]')

if [ "$players" = "[]" ]; then
  demo_config=$build/demo-config
  if [ ! -f "$demo_config/quorvel/registry.reg" ]; then
    mpv=$(command -v mpv || echo /usr/bin/mpv)
    export XDG_CONFIG_HOME=$demo_config
    "$ctl" players add --name mpv --path "$mpv" --cmdline "--fs %f" --playlist 2 >/dev/null
    "$ctl" settings set "DivX Player=mpv" "DivX Command Line=--fs %f" \
      "DivX (Audio2) Player=mpv" "DivX (Audio2) Command Line=--fs --aid=2 %f" \
      "Mpeg Player=mpv" "Mpeg Command Line=--fs %f" >/dev/null
  fi
  export XDG_CONFIG_HOME=$demo_config
  # Today's disks and files too (samples/modern-disk), also in a demo store made before.
  "$ctl" settings set "Video Player=mpv" "Video Command Line=--fs %f" \
    "DVD Player=mpv" "DVD Command Line=--fs dvd:// --dvd-device=%f" \
    "Blu-ray Player=mpv" "Blu-ray Command Line=--fs bd:// --bluray-device=%f" >/dev/null
  echo "run.sh: your settings store ($store) has no player; using a demo store in" \
    "$demo_config with mpv as the player. Your own settings are not changed." >&2
  store=$demo_config/quorvel/registry.reg
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out=$build/quorvel-demo.png
  registry=()
  [ -f "$store" ] && registry=(--registry "$store")
  QT_QPA_PLATFORM=offscreen "$build/tests/faces/qt/quorvel_snapshot" --window fullscreen \
    --disk "$disk" --size 1280x720 "${registry[@]}" --out "$out" >/dev/null 2>&1
  echo "run.sh: no display; the full-screen window on $disk is rendered to $out" >&2
  exit 0
fi
echo "run.sh: quorvel -fs -p $disk (Enter plays, Escape hides, Q quits)" >&2
exec "$build/quorvel/quorvel" -fs -p "$disk"
