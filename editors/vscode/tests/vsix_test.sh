#!/bin/sh
# The .vsix as VS Code installs it: what it holds and leaves out, its version and licence, and
# the extension unpacked from it started on the real server (extension_test.js), with the
# packages it runs on bundled into it.
#   editors/vscode/tests/vsix_test.sh CMAKE NODE VSIX VERSION LICENSE WANDER_WORLD
set -u
cmake=$1 node=$2 vsix=$3 version=$4 license=$5 program=$6
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "$*"
  failed=1
}

(cd "$work" && "$cmake" -E tar xf "$vsix") || { echo "cannot unpack $vsix"; exit 1; }
extension=$work/extension
for file in extension.vsixmanifest extension/package.json extension/extension.js \
  extension/language-configuration.json extension/syntaxes/wander.tmLanguage.json \
  extension/LICENSE.txt extension/readme.md extension/icon.png \
  extension/THIRD-PARTY-NOTICES.txt; do
  [ -f "$work/$file" ] || fail "the .vsix holds no $file"
done
# What only builds or tests the extension stays out.
for left_out in extension/tests extension/.npmrc extension/node_modules; do
  [ ! -e "$work/$left_out" ] || fail "the .vsix holds $left_out"
done
grep -q "<Identity [^>]*Version=\"$version\"" "$work/extension.vsixmanifest" ||
  fail "the .vsix is not of version $version: editors/vscode/package.json and project() disagree"
cmp -s "$extension/LICENSE.txt" "$license" ||
  fail "the extension's LICENSE is not the project's: copy LICENSE to editors/vscode"

WANDER_WORLD=$program WANDER_EXTENSION=$extension "$node" --test "$here/extension_test.js" ||
  fail "the extension unpacked from the .vsix does not work"
[ "$failed" -eq 0 ] && echo "the .vsix holds what it should, and works"
exit "$failed"
