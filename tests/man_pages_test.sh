#!/usr/bin/env bash
# Renders each man page given, as man(1) does on a UTF-8 terminal and on an ASCII one, with
# every groff warning on, and fails on any warning. groff exits 0 even when it warns, so its
# standard error is what counts.
#   tests/man_pages_test.sh man/wander.6 man/wander-world.1 ...
set -uo pipefail
failed=0
for page in "$@"; do
  for device in utf8 ascii; do
    warnings=$(groff -man -ww -z -T "$device" "$page" 2>&1)
    status=$?
    if [ "$status" -ne 0 ] || [ -n "$warnings" ]; then
      echo "$page (-T $device, status $status):"
      printf '%s\n' "$warnings"
      failed=1
    fi
  done
done
[ "$failed" -eq 0 ] && echo "$# man pages render without a warning"
exit "$failed"
