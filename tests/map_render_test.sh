#!/usr/bin/env bash
# The maps Graphviz must draw as they are: the sample world's, with north up and east right as
# its exits say, and one full of names Graphviz could choke on.
#   map_render_test.sh TOOL DOT SAMPLE_WORLD
set -euo pipefail
tool=$1 dot=$2 sample=$3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

# Where Graphviz put each room of the sample world: "NAME X Y", from its plain output.
"$tool" map "$sample" | "$dot" -Tplain |
  awk '$1 == "node" { label = $7; gsub(/^"|\\n.*$/, "", label); sub(/ \(start\)$/, "", label);
                      print label, $3, $4 }' > "$folder/places"
place() { awk -v room="$1" -v axis="$2" '$1 == room { print (axis == "x" ? $2 : $3) }' \
  "$folder/places"; }
# "A is north of B" means a larger y; "east" a larger x.
expect() {
  local a b
  a=$(place "$1" "$3") b=$(place "$2" "$3")
  if ! awk -v a="$a" -v b="$b" 'BEGIN { exit !(a > b) }'; then
    echo "$1 should be $4 of $2: $3 $a against $b" >&2
    cat "$folder/places" >&2
    exit 1
  fi
}
expect Path Jetty y north
expect Yard Path y north
expect Tower Yard y north
expect Lantern Tower y north
expect Pantry Cottage y north
expect Rocks Jetty x east
expect Jetty Cove x east
expect Cottage Yard x east

# Names that once broke the graph: quotes, backslashes, '&', control bytes, 20 KB.
long=$(head -c 20000 /dev/zero | tr '\0' L)
printf 'Start: Hall\n<Hall>\nA hall.\n*\nNorth: %s East: Q"\\ South: A\001B West: A\002B\n' \
  "$long" > "$folder/World.txt"
printf 'Objects: 2 a&amp; <b>\n<Hall|a&amp;>\nA.*\n<Hall|<b>>\nB.*\n' >> "$folder/World.txt"
"$tool" map "$folder/World.txt" | "$dot" -Tsvg > "$folder/odd.svg"
grep -q 'a&amp;amp;' "$folder/odd.svg"
