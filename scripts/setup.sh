#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages that are missing,
# then configures and builds into build/ (or $QUORVEL_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev libjpeg62-turbo-dev libblkid-dev libsystemd-dev libxcb1-dev libxcb-ewmh-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libstb-dev
  # tests and fuzzing
  xvfb xauth xdotool x11-utils python3-dbusmock dbus mpv ffmpeg genisoimage fuseiso fuse
  libjpeg-turbo-progs imagemagick clang libclang-rt-14-dev fonts-dejavu-core hyperfine trayer
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
fi

build=${QUORVEL_BUILD_DIR:-$root/build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_WERROR="$werror" ${QUORVEL_CMAKE_ARGS:-} >/dev/null
# Build output goes to stderr, so that what run.sh prints on stdout is the program's own.
cmake --build "$build" -j "$(nproc)" >&2
