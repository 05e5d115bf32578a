#!/usr/bin/env bash
# Runs a Windows program of this project under Wine and passes on its exit code.
# Its output goes through a file: Wine's background processes inherit the standard
# handles and would keep a caller's pipe open long after the program has ended.
set -u
source "$(dirname "$0")/wine-env.sh"
zr_wine_prefix
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
