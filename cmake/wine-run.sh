#!/bin/sh
# Runs a Windows program under Wine (the first argument) and hands on its output once
# it has ended, with its exit status. Wine starts its service processes and the desktop
# process with the first program that needs them, and they inherit that program's
# output: CTest, and the listing of a test program's tests, read the output until every
# copy of it is closed, and would wait for those processes, which outlive the program by
# far (a GUI test that happened to start the desktop took the rest of the run). Their
# copies go to files here instead.
wine=$1
shift
out=$(mktemp) && err=$(mktemp) || exit 125
"$wine" "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
if [ "$status" != 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
  echo "wine-run.sh: $* ended with status $status, saying nothing" >&2
fi
rm -f "$out" "$err"
exit "$status"
