#!/usr/bin/env bash
# The lines of ten megabytes of large_input.case, and a line of fifty megabytes with a slip at its
# end, which the checker quotes without reading the line whole: made here, since the case format
# repeats only whole lines.
#   large_input_test.sh CASE_RUNNER GAME TOOL [CASE_RUNNER_FLAGS...]
set -euo pipefail
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
blanks=$(head -c 50000000 /dev/zero | tr '\0' ' ')
{
  # A diagnostic at column 50,000,007 quotes a window of its line, read from just before it.
  printf -- '--- case CaretFiftyMegabytesAlongALine\n--- world\nStart: Hall\n<Hall>\nA hall.\n*\n'
  printf -- 'North:%s' "$blanks"
  printf -- 'Cotage East: None South: None West: None\nObjects: 0\n<Cottage>\nA cottage.\n*\n'
  printf -- 'North: None East: None South: None West: Hall\nObjects: 0\n'
  printf -- '--- run wander-world check\n--- limit memory 40M\n--- stdout\n'
  printf -- "World.txt:5:50000007: error: room 'Hall': the north exit leads to room 'Cotage', which "
  printf -- "has no block: the game keeps the player in 'Hall'; did you mean 'Cottage'? "
  printf -- '[missing-block]\n    5 | \xe2\x80\xa6%40sCotage East: None South: None ' ''
  printf -- 'West: None\n      | %41s^~~~~~\n      | %41sCottage\n' '' ''
  printf -- "World.txt:7:1: note: room 'Cottage' cannot be reached from the starting room 'Hall'\n"
  printf -- '1 error, 0 warnings\n--- status 1\n'
} > "$folder/large.case"
"$1" --game "$2" --tool "$3" "${@:4}" "$(dirname "$0")/large_input.case" "$folder/large.case"
