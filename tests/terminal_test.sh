#!/usr/bin/env bash
# Plays the game on a real terminal (tmux) and checks what the screen holds: after an examine
# only the object's text, after the key only the room's description and the prompts, after an
# object the room does not list only the message and the prompts, with no scrollback left above
# any of them.
#   tests/terminal_test.sh GAME [ARGUMENT...]    the command that starts the game, with absolute
#                                                paths, e.g. wine /path/to/build-windows/wander.exe
set -euo pipefail
printf -v game '%q ' "$@"
folder=$(mktemp -d)
server="wander-terminal-test-$$"
trap 'tmux -L "$server" kill-server 2>/dev/null || true; rm -rf "$folder"' EXIT

cp "$(dirname "$0")/scripts_world.txt" "$folder/World.txt"

tmux -L "$server" -f /dev/null new-session -d -x 80 -y 24 -c "$folder" \
  "$game; echo \"exit status \$?\"; sleep 60"

# The whole pane, scrollback included, without trailing blanks and trailing empty lines.
screen() {
  tmux -L "$server" capture-pane -p -S - | sed -e 's/[[:space:]]*$//' |
    sed -e ':a' -e '/^\n*$/{$d;N;ba' -e '}'
}

# Programs draw at their own pace (a Windows build under Wine through its console layer), so
# each check waits up to ten seconds for the pane to get there.
wait_for() {
  for _ in $(seq 200); do
    if tmux -L "$server" capture-pane -p -S - | grep -qF -- "$1"; then return 0; fi
    sleep 0.05
  done
  echo "timed out waiting for: $1"; echo "--- screen:"; screen; exit 1
}

# Waits for the pane to hold exactly `want`, scrollback included.
expect_screen() {
  local want=$1
  for _ in $(seq 200); do
    if [ "$(screen)" = "$want" ]; then return 0; fi
    sleep 0.05
  done
  echo "--- expected screen:"; printf '%s\n' "$want"; echo "--- got:"; screen
  exit 1
}

keys() { tmux -L "$server" send-keys "$@"; }

# Keys typed before the game waits for them would reach a Windows console layer while the
# terminal is still in line mode: the first command is typed at the first prompt.
expect_screen "$(printf 'A hall.\n\n\n\n>')"
keys exa Enter
wait_for "What do you want to look at?"
keys lamp Enter
expect_screen "$(printf '\nA lamp.')"
keys Enter
expect_screen "$(printf 'A hall.\n\n\n\n>\n>')"
keys exa Enter
wait_for "What do you want to look at?"
keys box Enter
expect_screen "$(printf 'That is not a valid object!\n\n>\n>')"
keys quit Enter
wait_for "Terminated"
keys x Enter
wait_for "exit status"
screen | grep -qF "exit status 1" || { echo "wrong exit status"; screen; exit 1; }
echo "terminal test passed"
