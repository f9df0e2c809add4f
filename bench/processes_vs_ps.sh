#!/usr/bin/env bash
# Lists the processes with `quorvelctl processes` and with `ps -e -o pid=,comm=,args=`
# in one run, with 300 extra sleeping processes running, and prints the median time of
# each and their ratio (goal: quorvelctl at most 1.5 times as long as ps).
#   bench/processes_vs_ps.sh [BUILD_DIR] [RUNS]
# Without DISPLAY, as on a machine without X: no window is looked up, and ps looks up
# none either. Set WITH_X=1 to run both under a fresh Xvfb instead.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
runs=${2:-30}
quorvelctl="$build/quorvelctl/quorvelctl"
[ -x "$quorvelctl" ] || { echo "no $quorvelctl: build first" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (./test.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
sleepers=()
xvfb=""
cleanup() {
  [ ${#sleepers[@]} -gt 0 ] && kill "${sleepers[@]}" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

for _ in $(seq 300); do
  sleep 600 &
  sleepers+=($!)
done

if [ "${WITH_X:-0}" = 1 ]; then
  # -noreset: a desktop server does not start over whenever its last client leaves.
  Xvfb -displayfd 3 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$work/display")"
else
  unset DISPLAY
fi

count=$("$quorvelctl" processes | wc -l)
echo "processes listed: $count"
hyperfine -N --style basic --warmup 3 --runs "$runs" --export-json "$work/result.json" \
  "$quorvelctl processes" "ps -e -o pid=,comm=,args=" >/dev/null
/usr/bin/python3 - "$work/result.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ours, ps = (r["median"] for r in results)
print(f"quorvelctl processes: median {ours * 1000:.2f} ms")
print(f"ps -e -o pid=,comm=,args=: median {ps * 1000:.2f} ms")
print(f"ratio: {ours / ps:.2f} (goal <= 1.5)")
PY
