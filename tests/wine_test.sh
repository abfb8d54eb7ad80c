#!/usr/bin/env bash
# Runs the Windows programs under Wine through the native build's tests: every end-to-end case,
# with the Windows runtime's CR LF line ends read as LF, less those that need a POSIX system
# under the program and those with a memory limit (Wine cannot even start under a limit on its
# address space); then the terminal test, whose screen checks hold because Wine's console layer
# draws the Windows console calls into the tmux pane; then the language server's protocol test,
# when Node and the editor extension's packages (npm ci --prefix editors/vscode) are there.
#
#   tests/wine_test.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]    (build, build-windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
native=$(realpath "${1:-build}")
windows=$(realpath "${2:-build-windows}")
for tool in wine tmux; do
  if ! command -v "$tool" > /dev/null; then
    echo "$tool is not installed (apt-get install wine wine64 tmux)"
    exit 2
  fi
done
export WINEDEBUG=-all
wine --version
# Wine of its own, unless WINEPREFIX names one: other Wine programs on the machine share the
# default prefix and its server, and one that stops it midway would fail a case. One server
# stays up for every program started, rather than one starting and stopping with each.
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(mktemp -d)
  export WINEPREFIX
  trap 'wineserver -k; rm -rf "$WINEPREFIX"' EXIT
  wineserver -p
fi
wine cmd /c exit 0 > /dev/null 2>&1 || true  # the first start sets up Wine's prefix; not timed
echo "== the end-to-end cases"
"$native/case_runner" --crlf --no-posix --no-memory-limit \
  --game "wine '$windows/wander.exe'" --tool "wine '$windows/wander-world.exe'" \
  "$here"/cases/*/*.case
echo "== the terminal test"
"$here/terminal_test.sh" wine "$windows/wander.exe"
if command -v node > /dev/null && [ -d "$here/../editors/vscode/node_modules/vscode-jsonrpc" ]; then
  echo "== the language server's protocol test"
  node "$here/../tools/lsp/protocol_test.js" "$here/../examples/World.txt" \
    wine "$windows/wander-world.exe"
else
  echo "== no protocol test of the language server: Node or editors/vscode/node_modules missing"
fi
