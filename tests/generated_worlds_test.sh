#!/usr/bin/env bash
# Generated worlds of every shape are clean (wander-world check finds no error and no warning),
# about the size asked for, and shaped as asked: names, descriptions, objects, start.
#
#   tests/generated_worlds_test.sh MAKE_WORLD WANDER_WORLD
set -euo pipefail
make_world=$(realpath "$1")
tool=$(realpath "$2")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"

failures=0
fail() {
  echo "FAIL ($arguments): $*"
  failures=$((failures + 1))
}

# Arguments | the start line's room | bytes a description holds on average (0: any) | objects a
# room lists on average
while IFS='|' read -r arguments start description objects; do
  # shellcheck disable=SC2086
  "$make_world" 1M $arguments > World.txt
  report=$("$tool" check World.txt) || true
  [[ $report == "0 errors, 0 warnings" ]] || fail "check says: $(head -n 3 <<< "$report")"
  size=$(wc -c < World.txt)
  ((size > 996000 && size < 1101000)) || fail "$size bytes"
  [[ $(head -n 1 World.txt) =~ ^Start:\ $start$ ]] || fail "$(head -n 1 World.txt)"
  # Averages over the room blocks: the description runs from the marker to the '*'.
  read -r rooms average listed < <(awk '
    /^<[^|]*>$/ { rooms++; in_text = 1; next }
    /^<.*\|.*>$/ { listed++; next }
    in_text && /^\*$/ { in_text = 0; next }
    in_text { bytes += length($0) + 1 }
    END { printf "%d %.0f %.2f\n", rooms, bytes / rooms, listed / rooms }' World.txt)
  if ((description > 0)); then
    awk -v a="$average" -v d="$description" 'BEGIN { exit !(a > 0.8 * d && a < 1.2 * d) }' ||
      fail "descriptions of $average bytes on average in $rooms rooms"
  fi
  awk -v l="$listed" -v o="$objects" 'BEGIN { exit !(l >= o - 0.25 && l <= o + 0.25) }' ||
    fail "$listed objects a room"
done <<'SHAPES'
|R[0-9]{7}|0|1.5
--names plain --description 350 --objects 2|R[0-9]{1,6}|350|1
--names words --description 2000 --objects 0|[A-Z][a-z]+[A-Z][a-z]+[0-9]+|2000|0
--names plain --objects 1 --start first|R0|0|0.5
SHAPES

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "generated worlds of 4 shapes are clean and shaped as asked"
