#!/usr/bin/env bash
# Runs the end-to-end transcripts, and wander-world's tests, against the Windows build under Wine:
# the same tests as for the native build, with the Windows runtime's CR LF line ends read as LF.
# The terminal test is not among them: it needs a POSIX terminal.
#
#   tests/wine_transcripts.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]    (build, build-windows)
set -euo pipefail
native=$(realpath "${1:-build}")
windows=$(realpath "${2:-build-windows}")
command -v wine > /dev/null || { echo "wine is not installed (apt-get install wine wine64)"; exit 2; }
export WINEDEBUG=-all
wine --version
wine cmd /c exit 0 > /dev/null 2>&1 || true  # the first start sets up Wine's prefix; not timed
WANDER_TEST_GAME="wine '$windows/wander.exe'" \
WANDER_TEST_WORLD_TOOL="wine '$windows/wander-world.exe'" \
  "$native/tests/wander_tests" --gtest_filter='TranscriptTest.*:WanderWorldTest.*'
