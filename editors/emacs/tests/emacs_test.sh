#!/bin/sh
# Emacs in batch, with Debian's eglot, on wander-mode.el and wander-world's server
# (emacs_test.el). Status 77 when Emacs or eglot is missing, which ctest reports as skipped.
#   editors/emacs/tests/emacs_test.sh WANDER_WORLD
set -u
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../../.." && pwd)
if ! command -v emacs > /dev/null 2>&1 || ! ls -d /usr/share/emacs/site-lisp/elpa/eglot-* > /dev/null 2>&1
then
  echo "emacs or eglot not found: wander-mode.el is not tested (apt-get install emacs-nox elpa-eglot)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wander-mode names the server "wander-world": the one under test is the one on the path.
mkdir "$work/bin"
ln -s "$1" "$work/bin/wander-world"
sed -e 's/^East: Cottage$/East: Cotage/' "$top/examples/World.txt" > "$work/World.txt"
HOME=$work PATH=$work/bin:$PATH WANDER_TEST_WORLD=$work/World.txt timeout 120 \
  emacs -Q --batch -L "$top/editors/emacs" -l "$here/emacs_test.el" 2>&1
