#!/usr/bin/env bash
# The folders are libraries that use only the ones below them: every #include of a project header
# in a folder's code names that folder or one it may use, and no product code includes the tests'
# support. A unit test (NAME_test.cc) may use its folder's and the tests' support too. Files are
# opened by name, and standard output written, only where docs/how-it-works.md says.
#   layers_test.sh SOURCE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$1"
failures=0
# The folders it may use, by folder, from layers.txt. A folder missing there is a folder nobody
# placed.
declare -A may_use=()
while read -r folder used; do
  [[ -z $folder || $folder == '#'* ]] || may_use[${folder%:}]=$used
done < "$here/layers.txt"
for folder in "${!may_use[@]}"; do
  for file in "$folder"/*.cc "$folder"/*.h; do
    [ -e "$file" ] || continue
    allowed=" $folder ${may_use[$folder]} "
    case $file in *_test.cc) allowed+=" tests/support " ;; esac
    while IFS= read -r used; do
      [[ $allowed == *" $used "* ]] && continue
      echo "FAIL $file includes a header of $used, which $folder may not use"
      failures=$((failures + 1))
    done < <(sed -n 's|^#include "\(.*\)/[^/]*"$|\1|p' "$file" | sort -u)
  done
done
# Every folder of code is placed above.
while IFS= read -r folder; do
  [[ -v may_use[$folder] || $folder == tests* || $folder == fuzz || $folder == bench ]] && continue
  echo "FAIL $folder holds code but has no place among the layers"
  failures=$((failures + 1))
done < <(git ls-files -- '*.cc' '*.h' | xargs -n 1 dirname | sort -u)
# What each folder alone may do (docs/how-it-works.md names it): product code outside the
# folders given never matches the pattern, comments aside.
only_in() {
  local what=$1 pattern=$2
  shift 2
  while IFS= read -r hit; do
    local file=${hit%%:*} allowed=0
    for place in "$@"; do [[ $file == "$place"* ]] && allowed=1; done
    ((allowed)) && continue
    echo "FAIL $hit: $what outside $*"
    failures=$((failures + 1))
  done < <(git grep -n -E "$pattern" -- '*.cc' '*.h' ':!*_test.cc' ':!tests/' ':!fuzz/' ':!bench/' |
           grep -v -E '^[^:]+:[0-9]+:\s*//')
}
only_in "a file opened by its name" \
  '\b(fopen|_wfopen|freopen)\(|std::[io]?fstream|\bopen\([^)]*O_[A-Z]' \
  text/ tools/save/ console/
only_in "standard output written" '[(,{=] *stdout\b|\bs?printf\(|std::cout|\bputs\(' \
  console/ game/main.cc tools/wander-world/ tools/generator/make_world.cc tools/lsp/standard_input_
if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "every folder uses only the ones below it, and keeps to its own work"
