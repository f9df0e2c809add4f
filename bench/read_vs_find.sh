#!/usr/bin/env bash
# Compares `quorvelctl read` with find on the same folder: MOVIES .avi files over the
# size threshold (sparse, 2 MiB each) and OTHERS small files of other kinds. Both are
# timed in this one run with hyperfine (no shell in between); the script prints both
# medians and their ratio (target: at most 1.5).
#   bench/read_vs_find.sh [--movies N] [--others N] [--kinds "avi mkv ..."] [RUNS]
# Default: 1,000 movies among 10,000 entries, 30 runs. The large case:
#   bench/read_vs_find.sh --movies 40000 --others 0
# With --kinds, the same is measured for a folder of each kind of movie file in turn
# (each file starting with the real header of the samples' file of that kind, so that
# the reader parses it, then sparse up to 2 MiB), find looking for the files of that
# kind; the script then prints each kind's ratio against the first kind's (target: at
# most 1.10):
#   bench/read_vs_find.sh --movies 40000 --others 0 --kinds "avi mkv"
# quorvelctl comes from $QUORVEL_BUILD_DIR or build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$root/build}
ctl="$build/quorvelctl/quorvelctl"
movies=1000
others=9000
runs=30
kinds=""
while [ $# -gt 0 ]; do
  case "$1" in
    --movies) movies=$2; shift 2 ;;
    --others) others=$2; shift 2 ;;
    --kinds) kinds=$2; shift 2 ;;
    *) runs=$1; shift ;;
  esac
done
[ -x "$ctl" ] || { echo "build quorvelctl first: $ctl" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
# The user's own settings stay out of the measurement; the size threshold is 1 MB,
# which every movie file passes, as find's -size +1M does.
export XDG_CONFIG_HOME="$work/config"
"$ctl" settings set MinFileSize=1 >/dev/null

# make KIND: the folder of MOVIES files of that kind and OTHERS other files, checked by
# both tools; sets disk and find_line.
make() {
  local kind=$1 header=""
  disk="$work/disk-$1"
  mkdir -p "$disk"
  if [ -n "$kinds" ]; then
    header=$(find "$root/samples" -maxdepth 2 -iname "*.$kind" | sort | head -n 1)
    [ -n "$header" ] || { echo "no sample file of kind $kind in samples/" >&2; exit 1; }
  fi
  (
    cd "$disk"
    if [ -z "$header" ]; then
      # Many names per command: one process per file would take longer than the run.
      seq -w 1 "$movies" | sed "s/.*/movie&.$kind/" | xargs -r truncate -s 2M
    else
      # The header, then sparse up to 2 MiB; one process for all of them.
      python3 - "$header" "$movies" "$kind" <<'PY'
import sys
header = open(sys.argv[1], "rb").read(4096)
count, kind = int(sys.argv[2]), sys.argv[3]
for i in range(1, count + 1):
    with open(f"movie{i:0{len(str(count))}d}.{kind}", "wb") as out:
        out.write(header)
        out.truncate(2 << 20)
PY
    fi
    # Notes, subtitles and infos in turn: note1.txt subtitle1.srt info1.nfo note2.txt ...
    awk -v n="$others" 'BEGIN {
      split("note subtitle info", kind, " "); split(".txt .srt .nfo", ext, " ")
      width = length(int((n + 2) / 3))
      for (i = 0; i < n; i++) printf "%s%0" width "d%s\n", kind[i % 3 + 1], int(i / 3) + 1, ext[i % 3 + 1]
    }' | xargs -r touch
  )
  local entries
  entries=$(find "$disk" -maxdepth 1 | tail -n +2 | wc -l)
  [ "$entries" -eq $((movies + others)) ] || { echo "made $entries entries" >&2; exit 1; }

  local find_cmd
  if [ -n "$kinds" ]; then
    find_cmd=(find "$disk" -maxdepth 1 -iname "*.$kind" -size +1M)
  else
    find_cmd=(find "$disk" -maxdepth 1 '(' -iname '*.avi' -o -iname '*.mpg' -o -iname '*.mpeg' ')' -size +1M)
  fi
  local listed_by_find listed_by_read
  listed_by_find=$("${find_cmd[@]}" | wc -l)
  listed_by_read=$("$ctl" read "$disk" | grep -c '^Movie (' || true)
  if [ "$listed_by_find" -ne "$movies" ] || [ "$listed_by_read" -ne "$movies" ]; then
    echo "expected $movies movies: find listed $listed_by_find, quorvelctl read $listed_by_read" >&2
    exit 1
  fi
  echo "$kind: $entries entries, $movies movie files, $runs runs each" >&2
  # Quoted for hyperfine, which splits its commands into words itself: the same words.
  find_line="${find_cmd[*]}"
}

if [ -z "$kinds" ]; then
  make avi
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
  exit $?
fi

# Every kind's folder first, then one hyperfine run over all of them, so that each kind
# is timed under the same load of the machine.
commands=()
for kind in $kinds; do
  make "$kind"
  commands+=(--command-name "read $kind" "$ctl read $disk" --command-name "find $kind" "$find_line")
done
hyperfine -N --style basic --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  "${commands[@]}" >&2
python3 - "$work/times.json" $kinds <<'PY'
import json, statistics, sys
results = {r["command"]: r["times"] for r in json.load(open(sys.argv[1]))["results"]}
ratios = []
for kind in sys.argv[2:]:
    read = statistics.median(results["read " + kind])
    find = statistics.median(results["find " + kind])
    ratios.append((kind, read / find))
    print(f"{kind}: quorvelctl read median {read * 1000:.2f} ms, find median {find * 1000:.2f} ms, "
          f"ratio {read / find:.2f}")
first_kind, first = ratios[0]
worst = 0.0
for kind, ratio in ratios[1:]:
    print(f"{kind} ratio against {first_kind} ratio: {ratio / first:.3f} (target <= 1.10)")
    worst = max(worst, ratio / first)
sys.exit(0 if worst <= 1.10 else 3)
PY
