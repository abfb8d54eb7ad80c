#!/bin/sh
# Every --help of the tools fits a terminal of 80 columns: wander-world's, each of its commands'
# (as its own --help lists them), and wander-make-world's.
#   help_width_test.sh WANDER_WORLD WANDER_MAKE_WORLD
set -u
world=$1 make_world=$2
failed=0
# fits NAME TEXT: TEXT has some line, and none wider than 80 columns.
fits() {
  if [ -z "$2" ]; then echo "$1: no help" && failed=1 && return; fi
  printf '%s\n' "$2" | LC_ALL=C awk -v name="$1" \
    'length($0) > 80 { print name ": " length($0) " columns: " $0; bad = 1 } END { exit bad }' ||
    failed=1
}
fits "wander-world --help" "$("$world" --help)"
commands=$("$world" --help | sed -n 's/^  \([a-z]\{1,\}\)  .*/\1/p')
[ -n "$commands" ] || { echo "wander-world --help lists no command"; failed=1; }
for command in $commands; do
  fits "wander-world $command --help" "$("$world" "$command" --help)"
done
fits "wander-make-world --help" "$("$make_world" --help)"
[ "$failed" -eq 0 ] && echo "every help fits 80 columns: wander-world," $commands", wander-make-world"
exit "$failed"
