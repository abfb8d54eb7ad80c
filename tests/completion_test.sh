#!/usr/bin/env bash
# Completes wander-world command lines with its bash completion, in a folder holding a few
# files, and checks the candidates offered. Words are split at blanks only: a line holds
# "--color = auto" where bash, which breaks words at '=' too, would see "--color=auto".
#   tests/completion_test.sh completion/wander-world.bash
set -uo pipefail
# shellcheck source=../completion/wander-world.bash
source "$1"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
touch World.txt 'gull rock.txt' -- -dashed.txt
mkdir worlds

# The candidates for LINE with the cursor at its end, sorted, joined by commas.
candidates() {
  local line=$1
  COMP_LINE=$line
  COMP_POINT=${#line}
  read -ra COMP_WORDS <<< "$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=(unset)
  _wander_world
  local sorted
  mapfile -t sorted < <(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort)
  [ ${#COMPREPLY[@]} -eq 0 ] && sorted=()
  (IFS=,; printf '%s' "${sorted[*]}")
}

all_files='-dashed.txt,World.txt,gull rock.txt,worlds'
cases=(
  # line | candidates
  'wander-world |--help,--version,check,map,publish,record,replay'
  'wander-world c|check'
  'wander-world m|map'
  'wander-world --v|--version'
  'wander-world x|'
  'wander-world check |'"$all_files"
  'wander-world map |'"$all_files"
  'wander-world check W|World.txt'
  'wander-world check gull|gull rock.txt'
  'wander-world check wor|worlds'
  'wander-world check -|--,--color,--color=always,--color=auto,--color=never,--help'
  'wander-world check --color=n|--color=never'
  'wander-world check --color =|always,auto,never'
  'wander-world check --color = |always,auto,never'
  'wander-world check --color = a|always,auto'
  'wander-world check --color = auto |'"$all_files"
  'wander-world check --color = auto World.txt |'
  'wander-world check --color World.txt |'
  'wander-world map --h|--help'
  'wander-world check --help |'"$all_files"
  'wander-world check World.txt |'
  'wander-world check World.txt -|--,--color,--color=always,--color=auto,--color=never,--help'
  'wander-world check - |'
  'wander-world check -- -|-dashed.txt'
  'wander-world check -- |'"$all_files"
  'wander-world check -- World.txt |'
  'wander-world p|publish'
  'wander-world publish -|--,--help,--page'
  'wander-world publish --page |worlds'
  'wander-world publish --page wor|worlds'
  'wander-world publish --page worlds |'"$all_files"
  'wander-world publish World.txt |'"$all_files"
  'wander-world publish World.txt site |'
  'wander-world publish --page worlds World.txt site |'
  'wander-world publish -- --page |'"$all_files"
  'wander-world publish -- --page site |'
  'wander-world r|record,replay'
  'wander-world record |'"$all_files"
  'wander-world record -|--,--help'
  'wander-world record World.txt |'
  'wander-world replay |'"$all_files"
  'wander-world replay walk.case other.case |'"$all_files"
  'wander-world replay --|--,--help'
  'wander-world map --color |'"$all_files"
  'wander-world frob |'
  'wander-world --version |'
)
failed=0
for case in "${cases[@]}"; do
  line=${case%%|*}
  want=${case#*|}
  got=$(candidates "$line")
  if [ "$got" != "$want" ]; then
    printf 'completing "%s": expected "%s", got "%s"\n' "$line" "$want" "$got"
    failed=1
  fi
done
registered=$(complete -p wander-world)
if [ "$registered" != "complete -F _wander_world wander-world" ]; then
  echo "registered as: $registered"
  failed=1
fi
[ "$failed" -eq 0 ] && echo "${#cases[@]} completions as expected"
exit "$failed"
