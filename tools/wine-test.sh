#!/bin/sh
# Runs a Qt Test program of the Windows build under Wine and shows its
# report. A Windows program with no console window sends its log to the
# debugger rather than to standard output, so the report goes to a file
# first and is shown from there.
# Usage: tools/wine-test.sh PROGRAM.exe [ARGUMENT]...
set -u
log=$(mktemp "${TMPDIR:-/tmp}/quillon-test.XXXXXX")
wine "$@" -o "$log,txt"
status=$?
cat "$log"
rm -f "$log"
exit $status
