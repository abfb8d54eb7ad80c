#!/usr/bin/env bash
# wander's AppStream metadata, which software centres list it from: valid to appstreamcli
# (without the network), named for its id, its newest release VERSION, and the programs it
# provides those installed. Exits 77 (skipped) when appstreamcli is missing (Debian: apt-get
# install appstream).
#   tests/metainfo_test.sh METAINFO VERSION PROGRAM...
set -uo pipefail
file=$1 version=$2
shift 2
command -v appstreamcli > /dev/null || { echo "appstreamcli not found: not validated"; exit 77; }

failed=0
fail() {
  echo "$*"
  failed=1
}
# The text of each element NAME in the file, one a line.
elements() { sed -n "s|.*<$1>\\([^<]*\\)</$1>.*|\\1|p" "$file"; }

appstreamcli validate --no-net "$file" || fail "appstreamcli finds $file invalid"
id=$(elements id)
[ "$(basename "$file")" = "$id.metainfo.xml" ] || fail "$file is not named for its id, $id"
newest=$(sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$file" | head -n 1)
[ "$newest" = "$version" ] || fail "the newest release is '$newest', not $version"
provided=$(elements binary | LC_ALL=C sort)
installed=$(printf '%s\n' "$@" | LC_ALL=C sort)
[ "$provided" = "$installed" ] ||
  fail "the programs provided are not those installed:"$'\n'"$(diff <(echo "$provided") <(echo "$installed"))"
[ "$failed" -eq 0 ] && echo "$id is valid and agrees with the build"
exit "$failed"
