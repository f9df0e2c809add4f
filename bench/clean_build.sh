#!/usr/bin/env bash
# Times a clean build plus every test of each given commit, from a fresh clone, without
# ccache, one commit after the other: the Linux build (scripts/setup.sh test), the Linux
# tests, the Windows build (its libraries included) and the Windows tests under Wine.
#
#   bench/clean_build.sh                   the commit before the window rules left Qt
#                                          (36afa91), then HEAD
#   bench/clean_build.sh A B ...           those commits, in that order
#
# Each clone's logs stay in $QUORVEL_BENCH_DIR (default: a new folder under /tmp), named
# after the commit. The figures are seconds of wall time on this machine; run nothing
# else beside it, since every phase uses all cores.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commits=("$@")
[ ${#commits[@]} -gt 0 ] || commits=(36afa91 HEAD)
out=${QUORVEL_BENCH_DIR:-$(mktemp -d /tmp/quorvel-clean-build.XXXXXX)}
mkdir -p "$out"

# Seconds since the epoch with a tenth.
now() { date +%s.%N | cut -c1-12; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", b - a }'; }

# Runs one phase in the clone, with its output in the log; prints its seconds and
# whether it passed.
phase() {
  local name=$1 dir=$2 log=$3
  shift 3
  local start end status
  start=$(now)
  (cd "$dir" && env CCACHE_DISABLE=1 CI=true "$@") >>"$log" 2>&1
  status=$?
  end=$(now)
  printf '  %-16s %5s s  %s\n' "$name" "$(seconds "$start" "$end")" \
    "$([ $status -eq 0 ] && echo passed || echo "FAILED ($status)")"
  return $status
}

printf '%-10s  (logs in %s)\n' "" "$out"
for commit in "${commits[@]}"; do
  sha=$(git -C "$root" rev-parse --short "$commit") || exit 2
  dir=$out/$sha
  log=$out/$sha.log
  rm -rf "$dir" "$log"
  git clone -q "$root" "$dir" && git -C "$dir" checkout -q "$sha" || exit 2
  chmod 755 "$dir"
  echo "$sha $(git -C "$dir" log -1 --format=%s | cut -c1-70)"
  start=$(now)
  ok=1
  phase "linux build" "$dir" "$log" scripts/setup.sh test || ok=0
  phase "linux tests" "$dir" "$log" bash -c 'cd build && ctest -j "$(nproc)" --output-on-failure' || ok=0
  phase "windows build" "$dir" "$log" env QUORVEL_WIN_TESTS=0 scripts/windows.sh || ok=0
  phase "windows tests" "$dir" "$log" scripts/windows.sh || ok=0
  end=$(now)
  printf '  %-16s %5s s  %s\n' "total" "$(seconds "$start" "$end")" \
    "$([ $ok = 1 ] && echo passed || echo FAILED)"
  grep -E '^[0-9]+% tests passed' "$log" | sed 's/^/  /'
done
