#!/usr/bin/env bash
# Runs every end-to-end case against the Windows build under Wine: the same cases as for the
# native build, with the Windows runtime's CR LF line ends read as LF, less those that need a
# POSIX system under the program.
#
#   tests/wine_transcripts.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]    (build, build-windows)
set -euo pipefail
native=$(realpath "${1:-build}")
windows=$(realpath "${2:-build-windows}")
command -v wine > /dev/null || { echo "wine is not installed (apt-get install wine wine64)"; exit 2; }
export WINEDEBUG=-all
wine --version
wine cmd /c exit 0 > /dev/null 2>&1 || true  # the first start sets up Wine's prefix; not timed
"$native/case_runner" --crlf --no-posix \
  --game "wine '$windows/wander.exe'" --tool "wine '$windows/wander-world.exe'" \
  "$(dirname "$0")"/cases/*/*.case
