#!/usr/bin/env bash
# docs/tools.md's table of kinds names each kind that `wander-world check --list-kinds` lists,
# once, with its severity: a row of warnings says "(warning)" or "(warnings)"; and some case of
# the checker raises each kind.
#   tests/kinds_table_test.sh WANDER_WORLD docs/tools.md tests/cases
set -euo pipefail
listed=$("$1" check --list-kinds | awk '{ print $1, $2 }' | sort)
documented=$(awk '/^\| Kind \| What it says/ { on = 1; next } on && !/^\|/ { exit } on' "$2" |
  while IFS='|' read -r _ first _; do
    severity=error
    [[ $first == *'(warning'* ]] && severity=warning
    grep -o '`[a-z0-9-]*`' <<< "$first" | tr -d '`' | sed "s/\$/ $severity/"
  done | sort)
diff <(echo "$listed") <(echo "$documented") || { echo "-: --list-kinds, +: $2"; exit 1; }
for kind in $(cut -d' ' -f1 <<< "$listed"); do
  grep -rqF -- "[$kind]" "$3" || { echo "no case raises $kind"; exit 1; }
done
echo "$(wc -l <<< "$listed") kinds, as documented, each raised by a case"
