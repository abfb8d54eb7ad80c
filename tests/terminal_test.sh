#!/usr/bin/env bash
# Plays the game on a real terminal (tmux) and checks what the screen holds: after an examine
# only the object's text, after the key only the room's description and the prompts, after an
# object the room does not list only the message and the prompts, with no scrollback left above
# any of them.
set -euo pipefail
game=$1
folder=$(mktemp -d)
server="wander-terminal-test-$$"
trap 'tmux -L "$server" kill-server 2>/dev/null || true; rm -rf "$folder"' EXIT

cat > "$folder/World.txt" <<'WORLD'
Start: Hall
<Hall>
A bare hall. A lamp hangs on the wall.
*
North: None East: None South: None West: None
Objects: 1 lamp
<Hall|lamp>
An old brass lamp.
*
WORLD

tmux -L "$server" -f /dev/null new-session -d -x 80 -y 24 -c "$folder" \
  "'$game'; echo \"exit status \$?\"; sleep 60"

# The whole pane, scrollback included, without trailing blanks and trailing empty lines.
screen() {
  tmux -L "$server" capture-pane -p -S - | sed -e 's/[[:space:]]*$//' |
    sed -e ':a' -e '/^\n*$/{$d;N;ba' -e '}'
}

wait_for() {
  for _ in $(seq 100); do
    if tmux -L "$server" capture-pane -p -S - | grep -qF -- "$1"; then return 0; fi
    sleep 0.05
  done
  echo "timed out waiting for: $1"; echo "--- screen:"; screen; exit 1
}

expect_screen() {
  local want=$1 got
  got=$(screen)
  if [ "$got" != "$want" ]; then
    echo "--- expected screen:"; printf '%s\n' "$want"; echo "--- got:"; printf '%s\n' "$got"
    exit 1
  fi
}

keys() { tmux -L "$server" send-keys "$@"; }

wait_for "A bare hall."
keys exa Enter
wait_for "What do you want to look at?"
keys lamp Enter
wait_for "An old brass lamp."
expect_screen "$(printf '\nAn old brass lamp.')"
keys Enter
wait_for "A bare hall."
expect_screen "$(printf 'A bare hall. A lamp hangs on the wall.\n\n\n\n>\n>')"
keys exa Enter
wait_for "What do you want to look at?"
keys box Enter
wait_for "That is not a valid object!"
expect_screen "$(printf 'That is not a valid object!\n\n>\n>')"
keys quit Enter
wait_for "Terminated"
keys x Enter
wait_for "exit status"
screen | grep -qF "exit status 1" || { echo "wrong exit status"; screen; exit 1; }
echo "terminal test passed"
