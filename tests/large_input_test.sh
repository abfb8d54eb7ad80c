#!/usr/bin/env bash
# Lines of ten megabytes, generated here rather than kept in the repository: before the blocks,
# as a description, and as a command line. Each plays by the usual rules. And a line of fifty
# megabytes with a slip at its end, which the checker quotes without reading the line whole.
#   large_input_test.sh CASE_RUNNER GAME TOOL [CASE_RUNNER_FLAGS...]
set -euo pipefail
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
big=$(head -c 10485760 /dev/zero | tr '\0' x)
blanks=$(head -c 50000000 /dev/zero | tr '\0' ' ')
hall='Start: Hall
<Hall>
A hall.
*
North: Kitchen East: None South: None West: None
Objects: 0
<Kitchen>
A kitchen.
*
North: None East: None South: Hall West: None
Objects: 0'
{
  printf -- '--- case TenMegabyteLineBeforeTheBlocks\n--- world\nWorld: Hall\n%s\n%s\n' "$big" "$hall"
  printf -- '--- input\nn\n--- stdout\nA hall.\n\n\n\n> A kitchen.\n\n\n\n>  (esc)\n'
  printf -- '--- case TenMegabyteCommandLine\n--- input\n%s\nlook\n' "$big"
  printf -- '--- stdout\nA hall.\n\n\n\n>  (esc)\n> A hall.\n\n\n\n>  (esc)\n'
  printf -- '--- case TenMegabyteDescription\n--- world\nStart: Big\n<Big>\n%s*\n' "$big"
  printf -- '--- stdout\n%s\n\n\n>  (esc)\n' "$big"
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
"$1" --game "$2" --tool "$3" "${@:4}" "$folder/large.case"
