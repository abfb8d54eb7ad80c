#!/bin/sh
# Neovim, headless, on the Vim files of editors/vim: the syntax held to the highlighting cases,
# then the built-in LSP client on wander-world's server (lsp_test.lua). Status 77 when Neovim is
# missing, which ctest reports as skipped.
#   editors/vim/tests/nvim_test.sh WANDER_WORLD
set -u
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../../.." && pwd)
program=$1
if ! command -v nvim > /dev/null 2>&1; then
  echo "nvim not found: the Neovim files are not tested (apt-get install neovim)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Headless, with no user's settings: the runtime path holds editors/vim, as an installed
# copy under share/nvim/site would.
run() {
  HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state \
    WANDER_TOP=$top WANDER_WORLD=$program WANDER_TEST_WORLD=$work/World.txt \
    timeout 120 nvim --headless -u NONE -i NONE --cmd "set runtimepath^=$top/editors/vim" \
    --cmd 'filetype plugin on' --cmd 'syntax on' -c "luafile $here/$1" -c "cquit 2" 2>&1
}

failed=0
run syntax_test.lua || failed=1

# The sample world with slips: the yard's east exit misspelt, the star after the rope's text
# (line 120) gone; and a folder of its own for another world.
sed -e 's/^East: Cottage$/East: Cotage/' -e '120{/^\*$/d;}' "$top/examples/World.txt" \
  > "$work/World.txt"
mkdir "$work/elsewhere"
run lsp_test.lua || failed=1
exit $failed
