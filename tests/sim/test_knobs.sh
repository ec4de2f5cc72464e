#!/bin/sh
# Failures and deaths on demand, and the counters of starts, commands and tags.
. "$(dirname "$0")/lib.sh"

cleartool mkview -tag v1 /stg/v1.vws >/dev/null
cleartool mkview -tag v2 /stg/v2.vws >/dev/null

# --- CCSIM_FAIL -------------------------------------------------------------
CCSIM_FAIL=catcs,mkview cleartool mkview -tag v3 /stg/v3.vws >"$scratch/out" 2>"$scratch/err"
same "a listed subcommand fails" "1|cleartool: Error: Simulated failure of mkview.|" \
    "$?|$(cat "$scratch/err")|$(cat "$scratch/out")"
same "the failed mkview made nothing" "v1 v2" "$(echo $(cleartool lsview -short))"
CCSIM_FAIL=catcs,mkview cleartool lsview -short v1 >/dev/null
same "others still work" 0 "$?"

# The knobs file overrides the environment.
echo "CCSIM_FAIL=" >"$CCSIM_HOME/knobs"
CCSIM_FAIL=lsview cleartool lsview -short v1 >/dev/null 2>&1
same "an empty knob in the file switches the failure off" 0 "$?"
echo "CCSIM_FAIL=lsview" >"$CCSIM_HOME/knobs"
ct lsview -short v1
same "a knob in the file alone" 1 "$rc"
: >"$CCSIM_HOME/knobs"

# --- CCSIM_DIE ----------------------------------------------------------------
CCSIM_DIE=mkview cleartool mkview -tag v4 /stg/v4.vws >"$scratch/out" 2>"$scratch/err"
# (the shell itself may report "Aborted" on the same stream)
same "a process that dies: status 134, nothing printed" "134||0" \
    "$?|$(cat "$scratch/out")|$(grep -c cleartool "$scratch/err")"
same "and nothing changed" "v1 v2" "$(echo $(cleartool lsview -short))"
CCSIM_DIE=mkview cleartool lsview -short v1 >/dev/null
same "other subcommands live" 0 "$?"

# --- counters -------------------------------------------------------------------
cleartool -sim-reset-counters
same "reset" "process_starts=0 commands=0 tags=0" "$(cleartool -sim-counters)"
cleartool lsview >/dev/null                 # a listing names no tag
cleartool lsview -short v1 v2 nosuch >/dev/null 2>&1
cleartool catcs -tag v1 >/dev/null
CCSIM_FAIL=startview cleartool startview v1 2>/dev/null
same "one start and one command per process; tags named as arguments" \
    "process_starts=4 commands=4 tags=5" "$(cleartool -sim-counters)"
same "the file holds the same line" "process_starts=4 commands=4 tags=5" "$(cat "$CCSIM_HOME/counters")"

cleartool -sim-reset-counters
printf 'lsview -short v1\nlsview\nmkview -tag v5 /stg/v5.vws\nbogus\nquit\n' | cleartool -status >/dev/null 2>&1
same "a co-process: one start, every command" "process_starts=1 commands=4 tags=2" "$(cleartool -sim-counters)"

# Counting holds under concurrent processes.
cleartool -sim-reset-counters
i=0
pids=
while [ $i -lt 12 ]; do
    cleartool lsview -short v1 >/dev/null &
    pids="$pids $!"
    i=$((i + 1))
done
for p in $pids; do wait "$p"; done
same "twelve concurrent processes are all counted" "process_starts=12 commands=12 tags=12" "$(cleartool -sim-counters)"

finish
