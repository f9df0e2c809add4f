#!/usr/bin/env bash
# Sets up and builds, then runs every test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$root/scripts/setup.sh" test
build=${QUORVEL_BUILD_DIR:-$root/build}
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
