#!/usr/bin/env bash
# Plays the sample world on a real terminal (tmux), typing its walkthrough's keys with the line
# editor's keys, resizing the terminal at a prompt, at the object question and at a key wait: the
# prompts and messages are those of the same keys piped, every word on the screen is whole, and
# the terminal's modes are the same after every way out (the end of input, quit, Ctrl-C, a stop
# and a kill).
#   tests/line_editor_test.sh GAME SAMPLE_FOLDER
set -euo pipefail
game=$1
folder=$(mktemp -d)
server="wander-editor-test-$$"
trap 'tmux -L "$server" kill-server 2>/dev/null || true; rm -rf "$folder"' EXIT
cp "$2/World.txt" "$folder/"
cd "$folder"
fail() { echo "$*"; exit 1; }

# The walkthrough's keys, with a two-word object answer and a command typed at a key wait; each
# line as tmux types it: with the line editor's keys, Up for a line entered just before.
typed=(look n Up examine "'well bucket'" '' e n "'lok at' Left Left Left Left o" candle s w Up exa
       sundial look s "'x south' C-a Delete Delete" e Up w n Up Up Up view lens '' 'quitxx BSpace BSpace'
       '')
piped=(look n n examine 'well bucket' '' e n 'look at' candle s w w exa
       sundial look s south e e w n n n n view lens '' quit '')
printf '%s\n' "${piped[@]}" > keys
status=0
"$game" < keys > piped || status=$?
echo "exit status $status" >> piped

# A shell that leaves the terminal's modes as the game leaves them (bash would mend them).
tmux -L "$server" -f /dev/null new-session -d -x 80 -y 30 -c "$folder" "sh -i"
keys() { tmux -L "$server" send-keys "$@"; }
keys "PS1='$ ' g=$game; clear" Enter
until [ "$(tmux -L "$server" capture-pane -p | grep -c .)" = 1 ]; do sleep 0.05; done
# Waits for what the game writes to settle: the bytes the pane was sent stop growing for a third
# of a second (on a loaded machine a shorter pause is no sign of the game waiting).
settle() {
  local size=-1 now still=0
  for _ in $(seq 200); do
    sleep 0.05
    now=$(stat -c %s raw)
    if [ "$now" = "$size" ]; then still=$((still + 1)); else still=0; fi
    [ "$still" -ge 6 ] && return 0
    size=$now
  done
}
# Every word on the screen is one of the world's, the keys' or the game's own.
words_whole() {
  local word
  for word in $(tmux -L "$server" capture-pane -p | sed -n '/^[^$]/,$p'); do
    grep -qwF -- "$word" World.txt keys ||
      [[ "$word" =~ ^(\>|What|do|you|want|to|at\?|That|is|valid|object!|bucket)$ ]] ||
      fail "a cut word at $(tmux -L "$server" display -p '#{pane_width}') columns: $word"
  done
}
run() { keys 'stty -g > before; $g; echo "exit status $?"' Enter; }
# Keys typed before the game has ended would be the game's: the shell must be in front first.
modes_kept() {
  for _ in $(seq 400); do
    [ "$(tmux -L "$server" display -p '#{pane_current_command}')" = sh ] && break
    sleep 0.05
  done
  keys 'stty -g > after' Enter
  for _ in $(seq 400); do [ -s after ] && break; sleep 0.05; done
  cmp -s before after || { diff <(tr : "\n" < before) <(tr : "\n" < after); fail "the terminal's modes changed: $1"; }
  rm -f after
}

: > raw
tmux -L "$server" pipe-pane -o "cat >> $folder/raw"
run
settle
words_whole
for i in "${!typed[@]}"; do
  case $i in
    0) tmux -L "$server" resize-window -x 60 ;;
    4) tmux -L "$server" resize-window -x 72 ;;
    15) tmux -L "$server" resize-window -x 50 ;;
    27) tmux -L "$server" resize-window -x 64 ;;
  esac
  eval keys "${typed[$i]}" Enter
  settle
  if [ "$i" = 15 ] || [ "$i" = 27 ]; then words_whole; fi
done
cp raw walk
modes_kept quit
# The prompts and messages in order, from the bytes the terminal was sent and from the pipe.
messages() {
  sed -e 's/\x1b\[[0-9;]*[A-Za-z]//g' -e 's/\r//g' "$1" | sed -n '/You stand on/,$p' |
    grep -oE "> |What do you want to look at\? |That is not a valid object!|You can't go that way!|Terminated|exit status [0-9]+"
}
[ "$(messages walk)" = "$(messages piped)" ] ||
  { diff <(messages piped) <(messages walk) || fail "typed keys did not play as piped ones"; }

# Every other way out: the end of input, Ctrl-C, a stop and going on, a kill.
run; settle; keys n Enter C-d; modes_kept "Ctrl-D"
run; settle; keys nor; settle; keys C-c; modes_kept "Ctrl-C"
run; settle; keys nor; settle; keys C-z; settle; keys fg Enter; settle; keys th Enter C-d
modes_kept "Ctrl-Z"
run; settle; keys nor; settle
kill -TERM "$(pgrep -P "$(tmux -L "$server" display -p '#{pane_pid}')")"; modes_kept "a kill"
screen=$(tmux -L "$server" capture-pane -p -S -)
# The shell says no status after Ctrl-C, and the stopped game's as it stops.
[ "$(grep -oE "exit status [0-9]+" <<< "$screen" | cut -d' ' -f3 | xargs)" = "1 0 148 143" ] ||
  fail "a way out went wrong: $screen"
grep -qF "A narrow path" <<< "$screen" || fail "the game did not go on after a stop"
echo "line editor test passed"
