#!/bin/sh
# Runs one Windows test program under Wine for CTest:  wine-run.sh <wine loader> <program> [args]
# The program's output goes through a file: Wine's services, which the first program of a
# wineserver starts, inherit its standard output and would hold a pipe open after the program
# ended, so that CTest waited for the end of the output until its timeout.
output=$(mktemp) || exit 125
"$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
