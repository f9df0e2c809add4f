#!/usr/bin/env bash
# The Debian package, as a user gets it: built with cpack from the build folder, its
# file list and fields read with dpkg-deb, checked by lintian, then unpacked and its
# programs run from where it put them.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$(find "$work" -maxdepth 1 -name "quorvel_${version}_*.deb")
[ -f "$deb" ] || fail "no quorvel_${version}_*.deb in $(ls "$work")"

# Every file that the package must install.
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
for path in \
  /usr/bin/quorvel /usr/bin/quorvelctl /usr/bin/quorvel-session \
  /usr/share/xsessions/quorvel-session.desktop \
  /usr/share/applications/quorvel.desktop \
  /usr/share/metainfo/quorvel.metainfo.xml \
  /usr/share/icons/hicolor/16x16/apps/quorvel.png \
  /usr/share/icons/hicolor/32x32/apps/quorvel.png \
  /usr/share/icons/hicolor/48x48/apps/quorvel.png \
  /usr/share/icons/hicolor/256x256/apps/quorvel.png \
  /usr/share/icons/hicolor/scalable/apps/quorvel.svg \
  /usr/share/man/man1/quorvel.1.gz /usr/share/man/man1/quorvelctl.1.gz \
  /usr/share/man/man1/quorvel-session.1.gz \
  /usr/share/doc/quorvel/copyright; do
  grep -qx "$path" "$work/contents" || fail "the package lacks $path"
done

# What it needs at run time, what it works best with, what it can use.
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libjpeg62-turbo libblkid1 libsystemd0 libxcb1; do
  [[ "$depends" == *"$library "* || "$depends" == *"$library," || "$depends" == *"$library" ]] ||
    fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = "mpv, openbox" ] ||
  fail "mpv and openbox are not recommended"
[ "$(dpkg-deb --field "$deb" Suggests)" = udisks2 ] || fail "udisks2 is not suggested"

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log" >&2; fail "lintian reports errors"; }
grep '^E:' "$work/lintian.log" && fail "lintian reports errors"
echo "lintian: $(grep -c '^[EW]:' "$work/lintian.log" || true) errors and warnings"

# The entries as installed: valid, and each starts the installed program.
root=$work/root
dpkg-deb -x "$deb" "$root"
for entry in applications/quorvel.desktop xsessions/quorvel-session.desktop; do
  desktop-file-validate "$root/usr/share/$entry" || fail "$entry is not a valid entry"
done
grep -qx 'Exec=quorvel-session' "$root/usr/share/xsessions/quorvel-session.desktop" ||
  fail "the session does not start quorvel-session"
grep -qx 'exec quorvel -fs "$@"' "$root/usr/bin/quorvel-session" ||
  fail "the session script does not end as quorvel -fs"
for page in quorvel quorvel-session quorvelctl; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done

# The programs unpacked from the package run.
[ "$("$root/usr/bin/quorvelctl" --version)" = "quorvelctl $version" ] ||
  fail "quorvelctl --version"

# quorvel on Qt's offscreen platform, with a home of its own, ended as a session ends
# it: once it catches SIGTERM (its handler shows in /proc), a SIGTERM must end it with
# status 0. The unpacked program runs under a name of its own: a second copy of
# "quorvel" ends at once, and other tests (or users) of this machine may run one.
mkdir -p "$work/home"
program=$root/usr/bin/quorvel-package-test-$$
cp "$root/usr/bin/quorvel" "$program"
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=offscreen \
  "$program" >"$work/quorvel.log" 2>&1 &
pid=$!
caught=0
for _ in $(seq 300); do
  mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$mask" ] || break
  if (((0x$mask >> 14) & 1)); then
    caught=1
    break
  fi
  sleep 0.1
done
[ "$caught" = 1 ] || { cat "$work/quorvel.log" >&2; fail "quorvel ended or never caught SIGTERM"; }
kill -TERM "$pid"
status=0
for _ in $(seq 200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill -KILL "$pid"
  fail "quorvel did not end within 20 s of SIGTERM"
fi
wait "$pid" || status=$?
[ "$status" = 0 ] || { cat "$work/quorvel.log" >&2; fail "quorvel ended with status $status"; }
echo "package $(basename "$deb"): $(wc -l <"$work/contents") entries; programs ran and ended cleanly"
