#!/usr/bin/env bash
# The Windows build: cross-builds the core, the Win32 face (quorvel.exe), quorvelctl.exe
# and the tests with Debian's MinGW-w64 into build-win64/ (or $QUORVEL_WIN_BUILD_DIR) and
# runs the tests under Wine, the end-to-end tests of quorvel.exe on the run's X display,
# driven with xdotool.
#
#   scripts/windows.sh              install what is missing, build, run every test
#   scripts/windows.sh -R registry  the same, passing the arguments on to ctest
#   QUORVEL_WIN_TESTS=0 scripts/windows.sh   build only
#
# Everything it makes is kept in the build folder and reused by the next run: the
# target's libraries (deps/: GoogleTest from Debian's sources in /usr/src/googletest,
# libjpeg-turbo from Debian's source package, copies of the header-only packages), the
# private Wine prefix (wineprefix/, booted once) and the build itself, so a second run
# only rebuilds what changed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${QUORVEL_WIN_BUILD_DIR:-$root/build-win64}
deps=$out/deps
build=$out/build

log() { echo "windows.sh: $*" >&2; }

packages=(
  cmake ninja-build pkg-config dpkg-dev ccache
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth fonts-wine
  # the end-to-end tests of quorvel.exe: keys, the tray, screen pictures
  xdotool trayer imagemagick
  # the installer quorvel-setup.exe
  nsis
  # the host tool that makes the AVI files of the disk tests
  ffmpeg
  # sources and header-only packages that are built or copied for the target
  googletest nlohmann-json3-dev libcli11-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >&2
fi

toolchain=$root/cmake/mingw-w64-x86_64.cmake
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
mkdir -p "$deps"

# A dependency is rebuilt when its stamp (the Debian version it came from and the
# toolchain file) changes.
stamp_of() { echo "$1 $(sha256sum "$toolchain" | cut -c1-16)"; }
is_current() { [ -f "$deps/.$1.stamp" ] && [ "$(cat "$deps/.$1.stamp")" = "$2" ]; }

# Header-only packages: copies of their headers and CMake package files, so that the
# cross build finds them inside the target's prefix and never looks into the host's
# /usr/include (whose C library headers are not the target's).
version=$(dpkg-query -W -f='${Version}' nlohmann-json3-dev libcli11-dev | tr '\n' ' ')
if ! is_current headers "$(stamp_of "$version")"; then
  log "copying the header-only packages"
  rm -rf "$deps/include/nlohmann" "$deps/include/CLI" "$deps/share/cmake"
  mkdir -p "$deps/include" "$deps/share/cmake"
  cp -r /usr/include/nlohmann /usr/include/CLI "$deps/include/"
  cp -r /usr/share/cmake/nlohmann_json /usr/share/cmake/CLI11 "$deps/share/cmake/"
  stamp_of "$version" >"$deps/.headers.stamp"
fi

cross_cmake() {
  cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps" -DQUORVEL_WIN_DEPS="$deps" "${launcher[@]}" "$@" >/dev/null
}

# GoogleTest, from the sources Debian ships for building it.
version=$(dpkg-query -W -f='${Version}' googletest)
if ! is_current googletest "$(stamp_of "$version")"; then
  log "building GoogleTest $version for the target"
  rm -rf "$out/googletest-build"
  cross_cmake -S /usr/src/googletest -B "$out/googletest-build" -Dgtest_force_shared_crt=OFF
  cmake --build "$out/googletest-build" -j "$(nproc)" >&2
  cmake --install "$out/googletest-build" >/dev/null
  stamp_of "$version" >"$deps/.googletest.stamp"
fi

# libjpeg-turbo: Debian builds it for Linux only, so its Debian source package (with
# Debian's patches applied by apt-get source) is built here for the target. The source
# index is fetched into a private apt state folder, leaving the system's apt set-up as
# it is.
version=$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev 2>/dev/null || echo any)
if ! is_current libjpeg-turbo "$(stamp_of "$version")"; then
  log "building libjpeg-turbo from its Debian source package for the target"
  apt_dir=$out/apt
  rm -rf "$apt_dir" "$out/libjpeg-turbo-src" "$out/libjpeg-turbo-build"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$out/libjpeg-turbo-src"
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  cat >"$apt_dir/sources.list" <<EOF
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian-security $codename-security main
EOF
  apt_opts=(-q -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
    -o APT::Sandbox::User=root)
  apt-get "${apt_opts[@]}" update >&2
  # The same version as the Linux build's library where the index still has it.
  want=libjpeg-turbo
  [ "$version" != any ] && apt-cache "${apt_opts[@]}" showsrc "libjpeg-turbo=$version" \
    >/dev/null 2>&1 && want="libjpeg-turbo=$version"
  (cd "$out/libjpeg-turbo-src" && apt-get "${apt_opts[@]}" source "$want" >&2)
  src=$(find "$out/libjpeg-turbo-src" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*')
  # The 6.2 interface, as the Linux build uses (libjpeg62-turbo); plain C, no SIMD
  # (which would need nasm), static only.
  cross_cmake -S "$src" -B "$out/libjpeg-turbo-build" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF \
    -DCMAKE_INSTALL_LIBDIR="$deps/lib" -DCMAKE_INSTALL_INCLUDEDIR="$deps/include"
  cmake --build "$out/libjpeg-turbo-build" -j "$(nproc)" >&2
  cmake --install "$out/libjpeg-turbo-build" >/dev/null
  rm -rf "$deps/bin" "$deps/share/man" "$deps/share/doc"
  stamp_of "$version" >"$deps/.libjpeg-turbo.stamp"
fi

# The private Wine prefix, booted once. Mono and Gecko are not needed by console and
# plain Win32 programs; turning them off keeps wineboot from asking to install them.
export WINEPREFIX=$out/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# No menu entries written into $HOME, no session bus left behind, and no HID and USB
# device drivers, which keep winedevice.exe busy while the program idles.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"
export DBUS_SESSION_BUS_ADDRESS=disabled:
# Drive D: is a CD-ROM drive whose disk is the folder cdrom-d/ (Wine's drive settings;
# the tests write the disk's files and its label file, .windows-label, there). Wine's
# mount manager reads the drive settings when it starts, so they are made before any
# test runs.
cdrom=$out/cdrom-d
if [ ! -f "$WINEPREFIX/.quorvel-booted" ]; then
  log "booting the Wine prefix"
  rm -rf "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  mkdir -p "$cdrom"
  ln -sfn "$cdrom" "$WINEPREFIX/dosdevices/d:"
  wine reg add 'HKLM\Software\Wine\Drives' /v 'd:' /t REG_SZ /d cdrom /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.quorvel-booted"
fi
# What the windows of quorvel.exe need of the prefix, set once: the fonts of Wine's own
# (which a new prefix does not pick up: the caption buttons come out as letters without
# Marlett) and unmanaged X11 windows (without a window manager, destroying a full-screen
# window took seconds).
if [ ! -f "$WINEPREFIX/.quorvel-face-setup" ]; then
  log "setting up the Wine prefix for the windows"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.quorvel-face-setup"
fi

mkdir -p "$cdrom"
# Wine reads a drive's label from this file when its mount manager starts.
echo "MOVIE NIGHT" >"$cdrom/.windows-label"

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DQUORVEL_WIN_DEPS="$deps" "${launcher[@]}" \
  -DQUORVEL_GUI=OFF -DQUORVEL_BENCH=OFF -DQUORVEL_TESTS=ON -DQUORVEL_WERROR="$werror" \
  -DQUORVEL_WIN_CDROM_FOLDER="$cdrom" \
  ${QUORVEL_WIN_CMAKE_ARGS:-} >/dev/null
# The build lists the tests of each test program by running it under Wine. One
# wineserver kept up for the whole build starts Wine's service processes once rather
# than for each program (cmake/wine-run.sh keeps them from holding a listing's output
# open). The server is ended before the tests, which start theirs on their own X
# display.
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
cmake --build "$build" -j "$(nproc)" >&2
wineserver -k 2>/dev/null || true
wineserver -w

[ "${QUORVEL_WIN_TESTS:-1}" = 0 ] && exit 0

# One wineserver for the whole test run, ended by this script whatever happens (the
# trap above); the tests that need windows get an X display of their own. Wine starts
# its service processes and the desktop process with the first program that needs them,
# and they would keep that program's output open: the test programs run through
# cmake/wine-run.sh, and for the end-to-end scripts, which run Wine themselves, a first
# window, whose output goes nowhere, starts them before any test.
cd "$build"
warm_state=$out/warm-up.state
export warm_state
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wineserver -p
  rm -f "$warm_state"
  window=tests/platform/win32/win_window.exe
  wine "$window" close "Z:${warm_state//\//\\}" >/dev/null 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 300); do [ -f "$warm_state" ] && break; sleep 0.1; done
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  exec ctest --output-on-failure -j "$(nproc)" "$@"' windows.sh "$@"
