#!/usr/bin/env bash
# check --fix on the author's own file, as an editor saves it: a taken World.txt.orig kept, a
# link kept and its file mended, a read-only file left alone with nothing said of mends, and a
# character that shows as nothing taken out of a name.
#   fix_test.sh WANDER_WORLD SAMPLE_WORLD
set -uo pipefail
tool=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
failures=0
expect() { [ "$1" = "$2" ] || { echo "FAIL $3: '$1', not '$2'"; failures=$((failures + 1)); }; }

mkdir kept
sed 's/^East: Cottage$/East: Cotage/' "$2" > kept/world
ln -s kept/world World.txt
echo "the author's notes" > World.txt.orig
"$tool" check --fix > /dev/null 2> errors
expect "$?" 0 "status of a mend through a link"
expect "$(cat errors)" "wander-world: World.txt:56:7: replaced 'Cotage' with 'Cottage' [missing-block]
wander-world: the file as it was is 'World.txt.orig.1'" "what --fix says"
expect "$(readlink World.txt)" kept/world "the link"
expect "$(cmp kept/world "$2" && cat World.txt.orig)" "the author's notes" "the mended file"
expect "$(grep -c Cotage World.txt.orig.1)" 1 "the backup"

sed 's/^East: Cottage$/East: Cotage/' "$2" > read-only
chmod 444 read-only
"$tool" check --fix read-only > /dev/null 2> errors
expect "$?" 2 "status of a read-only file"
expect "$(cat errors)" "wander-world: cannot write 'read-only': it is read-only; nothing was changed" \
  "what --fix says of a read-only file"
expect "$(stat -c %a read-only; grep -c Cotage read-only; ls read-only.orig* 2> /dev/null)" \
  "444
1" "the read-only file"

printf 'Start: Hall\n<Hall>\nA hall.\n*\nNorth: N\xe2\x80\x8bone East: None South: None West: None\n' > zero-width
printf 'Objects: 0\n' >> zero-width
"$tool" check --fix zero-width > /dev/null 2>&1
expect "$?" 0 "status after a zero-width space is taken out"
expect "$(sed -n 5p zero-width)" "North: None East: None South: None West: None" "the exit mended"
exit $((failures > 0))
