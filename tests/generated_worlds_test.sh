#!/usr/bin/env bash
# Generated worlds of every shape are clean (wander-world check finds no error and no warning),
# about the size asked for, and shaped as asked: names, descriptions, objects, start.
#
#   tests/generated_worlds_test.sh MAKE_WORLD WANDER_WORLD
set -euo pipefail
make_world=$(realpath "$1")
tool=$(realpath "$2")
table=$(realpath "$(dirname "$0")/generated_worlds.txt")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"

failures=0
fail() {
  echo "FAIL ($arguments): $*"
  failures=$((failures + 1))
}

# The shapes of generated_worlds.txt.
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
done < <(sed -n 's/^shape|//p' "$table")

# What generated_worlds.txt refuses: status 2, one line on standard error saying why, and no
# world.
while IFS='|' read -r arguments output message; do
  status=0
  # A world made after all stops at 100 KiB (SIGXFSZ) or 20 s, and fails.
  # shellcheck disable=SC2086
  (ulimit -f 100 && exec timeout 20 "$make_world" $arguments) > "${output:-World.txt}" 2> stderr ||
    status=$?
  ((status == 2)) || fail "exit status $status, not 2"
  [[ $(cat stderr) == "wander-make-world: $message" ]] || fail "standard error: $(cat stderr)"
  [[ -n $output || ! -s World.txt ]] || fail "$(wc -c < World.txt) bytes written"
done < <(sed -n 's/^refused|//p' "$table")
# Arguments are shown escaped: an escape byte in one never reaches the terminal.
"$make_world" 1M $'\e[2J' > /dev/null 2> stderr && fail "an unknown argument taken"
grep -qF "unexpected argument '\\x1b[2J'" stderr || fail "the argument shown raw: $(head -n 1 stderr)"

# The largest size, however written, is made: its first bytes come at once.
for arguments in 1048576G 1099511627776K 1125899906842624; do
  [[ $("$make_world" $arguments 2> /dev/null | head -c 7) == "Start: " ]] || fail "no world"
done

# A reader gone from the pipe: one line and status 2, not death by SIGPIPE.
"$make_world" 10M 2> errors | head -c 1 > /dev/null && status=0 || status=${PIPESTATUS[0]}
[[ $status == 2 && $(cat errors) == *"Broken pipe" ]] || fail "a closed pipe: $status $(cat errors)"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "generated worlds of 4 shapes are clean and shaped as asked; sizes too large and a full disk refused"
