#!/usr/bin/env bash
# Fails when a program a user is given answers any of the test builds'
# switches or protocol: none of their names may be in it, in 8-bit or in
# UTF-16 text.
#
#   scripts/no-test-switches.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
  for name in --test-hooks --screenshot --quit-after-open --time-navigation --time-compare; do
    wide=$(printf '%s' "$name" | sed 's/./&\\x00/g')
    if LC_ALL=C grep -qaF -- "$name" "$program" || LC_ALL=C grep -qaP -- "$wide" "$program"; then
      echo "$program holds the test switch $name" >&2
      status=1
    fi
  done
done
exit $status
