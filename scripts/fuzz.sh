#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs one of them.
#   scripts/fuzz.sh TARGET [SECONDS]     e.g. scripts/fuzz.sh fuzz_registry_file 300
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=${1:?fuzz target name}
seconds=${2:-300}
build=${QUORVEL_FUZZ_BUILD_DIR:-$root/build-fuzz}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_FUZZ=ON -DQUORVEL_SANITIZE=ON -DQUORVEL_GUI=OFF -DQUORVEL_TESTS=ON \
  -DQUORVEL_BENCH=OFF >/dev/null
cmake --build "$build" --target "$target"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
seeds="$root/tests/fuzz/corpus/$target"
args=("$corpus")
[ -d "$seeds" ] && args+=("$seeds")
cd "$build"
exec "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "${args[@]}"
