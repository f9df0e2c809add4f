#!/usr/bin/env bash
# Compares `quorvelctl read` with find on the same folder: MOVIES .avi files over the
# size threshold (sparse, 2 MiB each) and OTHERS small files of other kinds. Both are
# timed in this one run with hyperfine (no shell in between); the script prints both
# medians and their ratio (target: at most 1.5).
#   bench/read_vs_find.sh [--movies N] [--others N] [RUNS]
# Default: 1,000 movies among 10,000 entries, 30 runs. The large case:
#   bench/read_vs_find.sh --movies 40000 --others 0
# quorvelctl comes from $QUORVEL_BUILD_DIR or build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$root/build}
ctl="$build/quorvelctl/quorvelctl"
movies=1000
others=9000
runs=30
while [ $# -gt 0 ]; do
  case "$1" in
    --movies) movies=$2; shift 2 ;;
    --others) others=$2; shift 2 ;;
    *) runs=$1; shift ;;
  esac
done
[ -x "$ctl" ] || { echo "build quorvelctl first: $ctl" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
disk="$work/disk"
mkdir -p "$disk" "$work/config"
(
  cd "$disk"
  # Many names per command: one process per file would take longer than the run.
  seq -w 1 "$movies" | sed 's/.*/movie&.avi/' | xargs -r truncate -s 2M
  # Notes, subtitles and infos in turn: note1.txt subtitle1.srt info1.nfo note2.txt ...
  awk -v n="$others" 'BEGIN {
    split("note subtitle info", kind, " "); split(".txt .srt .nfo", ext, " ")
    width = length(int((n + 2) / 3))
    for (i = 0; i < n; i++) printf "%s%0" width "d%s\n", kind[i % 3 + 1], int(i / 3) + 1, ext[i % 3 + 1]
  }' | xargs -r touch
)
entries=$(find "$disk" -maxdepth 1 | tail -n +2 | wc -l)
[ "$entries" -eq $((movies + others)) ] || { echo "made $entries entries" >&2; exit 1; }

# The user's own settings stay out of the measurement; the size threshold is 1 MB,
# which every .avi file passes, as find's -size +1M does.
export XDG_CONFIG_HOME="$work/config"
"$ctl" settings set MinFileSize=1 >/dev/null
find_cmd=(find "$disk" -maxdepth 1 '(' -iname '*.avi' -o -iname '*.mpg' -o -iname '*.mpeg' ')' -size +1M)
listed_by_find=$("${find_cmd[@]}" | wc -l)
listed_by_read=$("$ctl" read "$disk" | grep -c '^Movie (' || true)
if [ "$listed_by_find" -ne "$movies" ] || [ "$listed_by_read" -ne "$movies" ]; then
  echo "expected $movies movies: find listed $listed_by_find, quorvelctl read $listed_by_read" >&2
  exit 1
fi
echo "$entries entries, $movies movie files, $runs runs each" >&2

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
