#!/usr/bin/env bash
# Shows that the windows still look as the committed pictures in docs/ show them: renders
# every picture of scripts/snapshots.sh into a temporary folder and compares each with
# docs/NAME.png pixel for pixel (ImageMagick's compare, metric AE: the number of pixels
# that differ). Prints one line per picture and fails when any picture differs, is
# missing on either side, or cannot be compared.
#
#   scripts/compare-snapshots.sh        with the build in build/ (or $QUORVEL_BUILD_DIR)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
compare=/usr/bin/compare # the first "compare" on PATH may be another program
if [ ! -x "$compare" ]; then
  echo "compare-snapshots.sh: ImageMagick's $compare is missing (scripts/setup.sh test installs it)" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/snapshots.sh" "$work/new" >"$work/render.log" 2>&1 || {
  cat "$work/render.log" >&2
  echo "compare-snapshots.sh: rendering failed" >&2
  exit 1
}

status=0
count=0
for new in "$work"/new/*.png; do
  name=$(basename "$new")
  old=$root/docs/$name
  count=$((count + 1))
  if [ ! -f "$old" ]; then
    echo "$name: new, not in docs/"
    status=1
    continue
  fi
  # AE prints the count of differing pixels on stderr; exit status 0 same, 1 different,
  # 2 not comparable (other sizes, for instance).
  set +e
  pixels=$("$compare" -metric AE "$old" "$new" null: 2>&1)
  result=$?
  set -e
  case $result in
    0) echo "$name: identical" ;;
    1)
      echo "$name: $pixels pixels differ"
      status=1
      ;;
    *)
      echo "$name: not comparable: $pixels"
      status=1
      ;;
  esac
done
for old in "$root"/docs/*.png; do
  name=$(basename "$old")
  # The Windows face's pictures come from Wine (scripts/win32-snapshots.sh).
  case "$name" in win32-*) continue ;; esac
  if [ ! -f "$work/new/$name" ]; then
    echo "$name: in docs/, but no longer rendered"
    status=1
  fi
done
if [ "$status" -eq 0 ]; then
  echo "all $count pictures identical"
fi
exit "$status"
