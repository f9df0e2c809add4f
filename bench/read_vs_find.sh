#!/usr/bin/env bash
# Compares `quorvelctl read` with find on the same folder of 10,000 entries, of which
# 1,000 are .avi files over the size threshold (sparse, 2 MiB each) and the rest other
# small files. Both are timed in this one run with hyperfine (no shell in between);
# the script prints both medians and their ratio (target: at most 1.5).
#   bench/read_vs_find.sh [RUNS]      (quorvelctl from $QUORVEL_BUILD_DIR or build/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$root/build}
ctl="$build/quorvelctl/quorvelctl"
runs=${1:-30}
[ -x "$ctl" ] || { echo "build quorvelctl first: $ctl" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
disk="$work/disk"
mkdir -p "$disk" "$work/config"
(
  cd "$disk"
  for i in $(seq -w 1 1000); do
    truncate -s 2M "movie$i.avi"
  done
  for i in $(seq -w 1 3000); do
    : >"note$i.txt"
    : >"subtitle$i.srt"
    : >"info$i.nfo"
  done
)
[ "$(find "$disk" -maxdepth 1 | tail -n +2 | wc -l)" -eq 10000 ]

# The user's own settings stay out of the measurement; the size threshold is 1 MB,
# which every .avi file passes, as find's -size +1M does.
export XDG_CONFIG_HOME="$work/config"
"$ctl" settings set MinFileSize=1 >/dev/null
find_cmd=(find "$disk" -maxdepth 1 '(' -iname '*.avi' -o -iname '*.mpg' -o -iname '*.mpeg' ')' -size +1M)
listed_by_find=$("${find_cmd[@]}" | wc -l)
listed_by_read=$("$ctl" read "$disk" | grep -c '^Movie (')
if [ "$listed_by_find" -ne 1000 ] || [ "$listed_by_read" -ne 1000 ]; then
  echo "expected 1000 movies: find listed $listed_by_find, quorvelctl read $listed_by_read" >&2
  exit 1
fi

# Quoted for hyperfine, which splits its commands into words itself.
find_line="find $disk -maxdepth 1 ( -iname *.avi -o -iname *.mpg -o -iname *.mpeg ) -size +1M"
hyperfine -N --style basic --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  --command-name "quorvelctl read" "$ctl read $disk" \
  --command-name "find" "$find_line" >&2

python3 - "$work/times.json" <<'PY'
import json, statistics, sys
results = {r["command"]: r["times"] for r in json.load(open(sys.argv[1]))["results"]}
read = statistics.median(results["quorvelctl read"])
find = statistics.median(results["find"])
print(f"quorvelctl read median: {read * 1000:.2f} ms")
print(f"find median:            {find * 1000:.2f} ms")
print(f"ratio read/find:        {read / find:.2f} (target <= 1.5)")
sys.exit(0 if read / find <= 1.5 else 3)
PY
