#!/usr/bin/env bash
# Completes wander-world command lines with its bash completion, in a folder holding a few
# files, and checks the candidates offered. Words are split at blanks only: a line holds
# "--color = auto" where bash, which breaks words at '=' too, would see "--color=auto".
#   tests/completion_test.sh completion/wander-world.bash tests/completion_cases.txt
set -uo pipefail
# shellcheck source=../completion/wander-world.bash
source "$1"
cases=$(realpath "$2")
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
failed=0
count=0
while IFS= read -r -u 3 case; do
  [[ $case == '#'* ]] && continue
  line=${case%%|*}
  want=${case#*|}
  want=${want/FILES/$all_files}
  got=$(candidates "$line")
  count=$((count + 1))
  if [ "$got" != "$want" ]; then
    printf 'completing "%s": expected "%s", got "%s"\n' "$line" "$want" "$got"
    failed=1
  fi
done 3< "$cases"
registered=$(complete -p wander-world)
if [ "$registered" != "complete -F _wander_world wander-world" ]; then
  echo "registered as: $registered"
  failed=1
fi
[ "$count" -ge 40 ] || { echo "only $count completions read from $cases"; failed=1; }
[ "$failed" -eq 0 ] && echo "$count completions as expected"
exit "$failed"
