#!/usr/bin/env bash
# The example of check that the README and wander-world(1) show is what check prints on the
# sample world with the cottage misspelt in the yard's east exit, byte for byte.
#   tests/check_example_test.sh WANDER_WORLD SAMPLE_WORLD README MAN_PAGE_TEMPLATE
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed 's/^East: Cottage$/East: Cotage/' "$2" > "$work/World.txt"
(cd "$work" && "$1" check > real)
[ $? -eq 1 ] || { echo "check did not end with status 1"; exit 1; }
# The README's: the first block after the sentence that names the misspelt cottage.
awk '/cottage misspelt/ { found = 1 } found && /^```/ { if (inside) exit; inside = 1; next }
     inside' "$3" > "$work/README"
# The man page's: the example under check, with roff's escapes read as man prints them.
awk '/^\.B check$/ { found = 1 } found && /^\.EE/ { exit } inside; found && /^\.EX/ { inside = 1 }' \
  "$4" | sed -e "s/\\\\(aq/'/g" -e 's/\\-/-/g' > "$work/man"
failed=0
for shown in README man; do
  diff -u --label "check's output" --label "$shown" "$work/real" "$work/$shown" || failed=1
done
[ "$failed" -eq 0 ] && echo "the README and the man page show check's output as it is"
exit "$failed"
