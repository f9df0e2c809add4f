#!/usr/bin/env bash
# Sets up and builds, then runs every test: the Linux build, then the Windows build
# under Wine (scripts/windows.sh; QUORVEL_WINDOWS=0 leaves it out). Arguments go to
# both ctest runs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$root/scripts/setup.sh" test
build=${QUORVEL_BUILD_DIR:-$root/build}
status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)" "$@") || status=$?
if [ "${QUORVEL_WINDOWS:-1}" != 0 ]; then
  "$root/scripts/windows.sh" "$@" || status=$?
fi
exit "$status"
