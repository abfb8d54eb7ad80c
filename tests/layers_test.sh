#!/usr/bin/env bash
# The folders are libraries that use only the ones below them: every #include of a project header
# in a folder's code names that folder or one it may use, and no product code includes the tests'
# support. A unit test (NAME_test.cc) may use its folder's and the tests' support too.
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
if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "every folder uses only the ones below it"
