#!/usr/bin/env bash
# The Windows program's figures under Wine, from the Windows build (scripts/windows.sh,
# build-win64/ or $QUORVEL_WIN_BUILD_DIR), on an X display of 1280 x 720 of its own:
# - start to the first painted frame of quorvel.exe -fs -p D:\ on the demo disk against
#   bare_window.exe, a program that shows one empty full-screen window (goal: at most
#   1.3 times as long), the median of ROUNDS starts each (default 7), warm;
# - a minute of idling on the demo disk: the program's own CPU time (goal: under 0.2 % of
#   a core) and its resident memory (goal: under 20 MB).
# It ends the prefix's wineserver first, so it must not run beside scripts/windows.sh.
#
#   bench/win32_bench.sh [ROUNDS] [IDLE-SECONDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${QUORVEL_WIN_BUILD_DIR:-$root/build-win64}
export build=$out/build root cdrom=$out/cdrom-d rounds=${1:-7} idle=${2:-60}
for tool in quorvel/quorvel.exe bench/win32/bare_window.exe bench/win32/win_start_bench.exe \
  tests/faces/win32/win_probe.exe; do
  [ -f "$build/$tool" ] || { echo "win32_bench.sh: build first (scripts/windows.sh): no $tool" >&2; exit 1; }
done
export WINEPREFIX=$out/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"
export DBUS_SESSION_BUS_ADDRESS=disabled:
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$cdrom" && cp -r "$root/samples/demo-disk" "$cdrom" && echo "QUORVEL DEMO" >"$cdrom/.windows-label"

xvfb-run -a -s "-screen 0 1280x720x24" bash -euo pipefail -c '
wineserver -p
trap "wineserver -k 2>/dev/null || true" EXIT
# A user who has started the program before: settings with players (a new user'"'"'s first
# start looks for the players on the machine first).
wine regedit /S "$(winepath -w "$root/tests/data/gui/two-players.reg")" >/dev/null 2>&1
bench=$build/bench/win32/win_start_bench.exe
median() { sed -n "s/^median: \([0-9.]*\) ms.*/\1/p" | tr -d "\r"; }
# One start of each first, so that both rounds find Wine and the files warm.
wine "$bench" 1 400000 "$(winepath -w "$build/bench/win32/bare_window.exe")" >/dev/null
echo "start to the first painted frame, median of $rounds starts:"
bare=$(wine "$bench" "$rounds" 400000 "$(winepath -w "$build/bench/win32/bare_window.exe")" | median)
program=$(wine "$bench" "$rounds" 400000 "$(winepath -w "$build/quorvel/quorvel.exe")" -fs -p "D:\\" | median)
echo "  bare_window.exe  $bare ms"
echo "  quorvel.exe      $program ms"
awk -v p="$program" -v b="$bare" "BEGIN { printf \"  ratio            %.2f (goal: at most 1.30)\n\", p / b }"

wine "$build/quorvel/quorvel.exe" -fs -p "D:\\" >/dev/null 2>&1 </dev/null &
pid=$!
until wine "$build/tests/faces/win32/win_probe.exe" state 2>/dev/null | grep -q "^label=QUORVEL DEMO"; do
  sleep 0.2
done
sleep 2
ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
before=$(ticks)
sleep "$idle"
after=$(ticks)
rss=$(awk "/^VmRSS:/ { print \$2 }" "/proc/$pid/status")
# Resident memory counts the pages of Wine'"'"'s own libraries and of the fonts it maps, which
# every Wine program shares; the program'"'"'s own memory is its anonymous part.
anon=$(awk "/^RssAnon:/ { print \$2 }" "/proc/$pid/status")
file=$(awk "/^RssFile:/ { print \$2 }" "/proc/$pid/status")
hz=$(getconf CLK_TCK)
echo "idle for $idle s on the demo disk:"
awk -v t=$((after - before)) -v hz="$hz" -v s="$idle" \
  "BEGIN { printf \"  own CPU time     %.2f s, %.3f %% of a core (goal: under 0.2 %%)\n\", t / hz, 100 * t / hz / s }"
awk -v kb="$rss" "BEGIN { printf \"  resident memory  %.1f MB (goal: under 20 MB)\n\", kb / 1024 }"
awk -v a="$anon" -v f="$file" "BEGIN { printf \"    of which        %.1f MB its own (anonymous), %.1f MB mapped files (Wine, fonts)\n\", a / 1024, f / 1024 }"
wine "$build/bench/win32/bare_window.exe" >/dev/null 2>&1 </dev/null &
bare_pid=$!
sleep 5
awk "/^VmRSS:|^RssAnon:|^RssFile:/ { printf \"%s %.1f MB  \", \$1, \$2 / 1024 } END { print \"\" }" "/proc/$bare_pid/status" |
  sed "s/^/  bare_window.exe  /"
kill "$bare_pid" 2>/dev/null || true
xdotool key q
wait "$pid" 2>/dev/null || true
'
rm -rf "$cdrom" && mkdir -p "$cdrom" && echo "MOVIE NIGHT" >"$cdrom/.windows-label"
