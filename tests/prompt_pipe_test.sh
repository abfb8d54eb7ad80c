#!/usr/bin/env bash
# A program that drives the game through pipes reads each prompt before it writes the answer:
# the "> " prompt, the object question and the object's text must reach the pipe before the game
# waits for input, or both sides wait forever.
#   prompt_pipe_test.sh GAME
set -euo pipefail
game=$(realpath "$1")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$(dirname "$0")/scripts_world.txt" "$folder/World.txt"

coproc GAME { cd "$folder" && exec "$game"; }
# Bash forgets the coprocess's descriptors once it ends; the test reads its last words after that.
game_pid=$GAME_PID
exec {from_game}<&"${GAME[0]}" {to_game}>&"${GAME[1]}"
seen=""
# Reads the game's output until it ends with $1, waiting at most two seconds for each byte.
expect() {
  local byte
  while [[ "$seen" != *"$1" ]]; do
    if ! IFS= read -r -d '' -n 1 -t 2 byte <&"$from_game"; then
      printf 'the game stopped writing before %q; it wrote:\n%s\n' "$1" "$seen"
      exit 1
    fi
    seen+=${byte:-$'\n'}
  done
}
answer() { printf '%s\n' "$1" >&"$to_game"; }

expect $'A hall.\n\n\n\n> '
answer exa
expect 'What do you want to look at? '
answer lamp
expect $'\nA lamp.\n\n'
answer ''
expect $'A hall.\n\n\n\n> \n> '
answer quit
expect $'Terminated\n'
answer x
expect $'x\n'
wait "$game_pid" && status=0 || status=$?
[ "$status" = 1 ] || { echo "exit status $status, expected 1"; exit 1; }
echo "prompt pipe test passed"
