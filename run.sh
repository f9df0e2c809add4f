#!/usr/bin/env bash
# Sets up and builds, then runs the program's main job.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$root/scripts/setup.sh" run
build=${QUORVEL_BUILD_DIR:-$root/build}
exec "$build/quorvelctl/quorvelctl" settings "$@"
