#!/usr/bin/env bash
# Standard input may end anywhere in a turn: at the prompt, inside a command, at the object
# question, inside the object's name, at the key wait, after quit. Whatever the byte it ends
# at, the game shows the starting room, ends with a line end, and exits with status 0, or 1 once
# a whole "quit" is through.
#   input_cut_test.sh GAME
set -uo pipefail
game=$(realpath "$1")
world=$(realpath "$(dirname "$0")/scripts_world.txt")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
cp "$world" World.txt
script=$'look\nexa\nlamp rug\n\nexa\nkettle\nn\r\nquit\nx\n'
before_quit=${script%%quit*}
quit_read=$(( ${#before_quit} + 4 ))  # "quit" is a whole command once its letters are in
failures=0
for cut in $(seq 0 ${#script}); do
  printf '%s' "${script:0:cut}" > input
  "$game" < input > output 2> errors
  status=$?
  want=0; (( cut >= quit_read )) && want=1
  problem=""
  [ "$status" = "$want" ] || problem="status $status, expected $want"
  head -c 8 output | grep -q '^A hall\.$' || problem+=" does not start with the hall"
  [ "$(tail -c 1 output | od -An -c | tr -d ' ')" = '\n' ] || problem+=" does not end with a line end"
  [ -s errors ] && problem+=" wrote to standard error"
  if [ -n "$problem" ]; then
    echo "input cut after $cut bytes:$problem"
    failures=$((failures + 1))
  fi
done
echo "$(( ${#script} + 1 - failures )) passed, $failures failed"
[ "$failures" = 0 ]
