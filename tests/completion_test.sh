#!/usr/bin/env bash
# Completes command lines with the bash completions given, each by the function registered for
# its command, in a folder holding a few files, and checks the candidates offered. Words are
# split at blanks only: a line holds "--color = auto" where bash, which breaks words at '=' too,
# would see "--color=auto".
#   tests/completion_test.sh tests/completion_cases.txt completion/*.bash
set -uo pipefail
cases=$(realpath "$1")
shift
for completion in "$@"; do
  # shellcheck source=/dev/null
  source "$completion"
done
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
touch World.txt 'gull rock.txt' walk.case -- -dashed.txt
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
  # "complete -F FUNCTION COMMAND", as the completion registered it.
  local registered
  read -ra registered <<< "$(complete -p "${COMP_WORDS[0]}")"
  "${registered[2]}"
  local sorted
  mapfile -t sorted < <(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort)
  [ ${#COMPREPLY[@]} -eq 0 ] && sorted=()
  (IFS=,; printf '%s' "${sorted[*]}")
}

all_files='-dashed.txt,World.txt,gull rock.txt,walk.case,worlds'
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
[ "$count" -ge 40 ] || { echo "only $count completions read from $cases"; failed=1; }
[ "$failed" -eq 0 ] && echo "$count completions as expected"
exit "$failed"
