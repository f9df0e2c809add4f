#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages that are missing,
# then configures and builds into build/ (or $QUORVEL_BUILD_DIR).
#
#   scripts/setup.sh run    what building and running the programs needs; builds them
#   scripts/setup.sh test   that and the test kit; builds everything, tests included
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-test}

run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libjpeg62-turbo-dev libblkid-dev libsystemd-dev libxcb1-dev libxcb-ewmh-dev
  libcli11-dev nlohmann-json3-dev fonts-dejavu-core
  # plays the movies of the demo disk
  mpv
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev clang-format
  xvfb xauth xdotool x11-utils python3-dbusmock dbus ffmpeg genisoimage fuseiso fuse
  libjpeg-turbo-progs imagemagick clang libclang-rt-14-dev hyperfine trayer
  # today's disks made for the tests: DVD-Video authoring, and a USB stick's FAT image
  # mounted with FUSE
  dvdauthor dosfstools mtools fusefat
  # the second real player that player detection is checked against, with its X video
  # output for the end-to-end test of the session
  vlc-bin vlc-plugin-base vlc-plugin-video-output
  # the session's window manager, which lets the players cover the screen
  openbox
  # the Debian package: built with cpack, checked with lintian, its entries and manual pages
  dpkg-dev lintian desktop-file-utils man-db
)

case "$mode" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

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
# ccache when it is installed (CCACHE_DISABLE=1 turns it off for one run).
launcher=""
command -v ccache >/dev/null && launcher=ccache
if [ "$mode" = test ]; then
  parts=(-DQUORVEL_TESTS=ON -DQUORVEL_BENCH=ON)
  targets=(all)
else
  # Tests and benchmarks stay as configured before; a new build directory has them
  # when their libraries are installed.
  parts=()
  targets=(programs)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" -DCMAKE_C_COMPILER_LAUNCHER="$launcher" \
  -DQUORVEL_WERROR="$werror" "${parts[@]}" ${QUORVEL_CMAKE_ARGS:-} >/dev/null
# Build output goes to stderr, so that what run.sh prints on stdout is the program's own.
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >&2
