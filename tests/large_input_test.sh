#!/usr/bin/env bash
# Lines of ten megabytes, generated here rather than kept in the repository: before the blocks,
# as a description, and as a command line. Each plays by the usual rules.
#   large_input_test.sh CASE_RUNNER GAME TOOL
set -euo pipefail
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
big=$(head -c 10485760 /dev/zero | tr '\0' x)
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
} > "$folder/large.case"
"$1" --game "$2" --tool "$3" "$folder/large.case"
