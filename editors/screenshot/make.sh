#!/bin/sh
# Makes neovim.png, the README's picture of a world being written in Neovim: a copy of the
# sample world with two exits misspelt, opened in Neovim in tmux with the Vim files of
# editors/vim and the built wander-world as its server, the diagnostics shown, and one opened
# in full. The screen is captured with its colours, written out as HTML, and photographed by
# headless Chromium. Needs nvim, tmux, node and chromium (apt-get install neovim tmux chromium).
#   editors/screenshot/make.sh [WANDER_WORLD]      (default: build/wander-world)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
program=$(cd "$(dirname "${1:-$top/build/wander-world}")" && pwd)/$(basename "${1:-wander-world}")
work=$(mktemp -d)
session=wander-screenshot-$$
trap 'tmux kill-session -t "$session" 2> /dev/null; rm -rf "$work"' EXIT

sed -e '/^<Path>$/,/^<Yard>$/s/^North: Yard$/North: Yrad/' -e 's/^East: Cottage$/East: Cotage/' \
  "$top/examples/World.txt" > "$work/World.txt"
cat > "$work/init.lua" << LUA
vim.opt.runtimepath:prepend('$top/editors/vim')
vim.cmd('filetype plugin on | syntax on')
vim.cmd('colorscheme desert')
vim.o.number = true
vim.o.signcolumn = 'yes'
vim.o.shortmess = vim.o.shortmess .. 'I'
require('wander.lsp').setup({ cmd = { '$program', 'lsp' } })
vim.cmd('highlight NormalFloat ctermfg=252 ctermbg=236 | highlight DiagnosticError ctermfg=203')
vim.keymap.set('n', 'gl', vim.diagnostic.open_float)
LUA

cols=100 rows=28
tmux new-session -d -s "$session" -x "$cols" -y "$rows" -c "$work" \
  "TERM=xterm-256color nvim -u '$work/init.lua' -i NONE '+39' '+normal! zt' World.txt"
# Until both misspelt exits are marked on the screen.
shown() { tmux capture-pane -p -t "$session" | grep -c "which has no block" || true; }
for _ in $(seq 100); do [ "$(shown)" -ge 2 ] && break; sleep 0.1; done
[ "$(shown)" -ge 2 ] || { echo "the diagnostics never came"; exit 1; }
# To the yard's misspelt exit, then its diagnostic in full (a float closes when the cursor moves).
tmux send-keys -t "$session" 56G 7'|'
sleep 0.5
tmux send-keys -t "$session" gl
sleep 1
tmux capture-pane -e -p -t "$session" > "$work/screen.ansi"
node "$here/ansi_to_html.js" "$cols" < "$work/screen.ansi" > "$work/screen.html"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --force-device-scale-factor=1 \
  --window-size=925,$((rows * 19 + 20)) --screenshot="$here/neovim.png" "file://$work/screen.html" \
  2> /dev/null
ls -l "$here/neovim.png"
