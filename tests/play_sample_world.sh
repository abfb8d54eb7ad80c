#!/usr/bin/env bash
# Plays a short game of the sample world, Gull Rock, as someone who has just installed wander
# would: WORLD copied into a new folder, the game started there with the keys piped in. Checks
# the output byte for byte and the quit command's exit status.
#   tests/play_sample_world.sh /usr/share/wander/World.txt /usr/bin/wander
#   tests/play_sample_world.sh --crlf World.txt wine /absolute/path/to/wander.exe
# --crlf reads the CR LF line ends of a Windows build as LF.
set -uo pipefail
crlf=false
if [ "${1:-}" = --crlf ]; then
  crlf=true
  shift
fi
world=$1
shift
# The game runs in a folder of its own, so a relative path to it is taken from here.
game=("$@")
[[ ${game[0]} == */* ]] && game[0]=$(realpath "${game[0]}")
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
mkdir "$base/play"
cp "$world" "$base/play/World.txt" || exit 1

# North to the path, examine the signpost, Enter, quit, a key.
(cd "$base/play" && printf 'n\nexa\nsignpost\n\nquit\nx\n' | "${game[@]}" > "$base/output")
status=$?
if $crlf; then
  sed 's/\r$//' "$base/output" > "$base/output.lf" && mv "$base/output.lf" "$base/output"
fi

path="A narrow path winds up from the jetty between gorse and heather. A wooden signpost leans at
a tired angle. The path goes on north to a cobbled yard and back south to the water."
printf '%s\n' \
  "You stand on a weathered wooden jetty at the south end of Gull Rock. Grey water slaps at the" \
  "piles below. A coil of rope lies beside an iron bollard. A path climbs north between the" \
  "boulders; to the west a strip of sand curves away, and to the east the shore breaks into rocks." \
  "" "" "" \
  "> $path" \
  "" "" "" \
  "> What do you want to look at? " \
  "The signpost has two arms. One reads \"LIGHT\", the other \"LANDING\". Someone has carved a small" \
  "gull into the post beneath them." \
  "" "" "" \
  "$path" \
  "" "" "" \
  "> " \
  "> Terminated" \
  "x" > "$base/expected"

failed=0
if ! cmp -s "$base/expected" "$base/output"; then
  echo "--- expected output:"; cat "$base/expected"; echo "--- got:"; cat "$base/output"
  failed=1
fi
if [ "$status" -ne 1 ]; then
  echo "exit status $status, expected 1 (quit)"
  failed=1
fi
[ "$failed" -eq 0 ] && echo "played Gull Rock with ${game[*]}"
exit "$failed"
