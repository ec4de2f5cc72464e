#!/bin/sh
# Several processes changing and reading the registry at once.
. "$(dirname "$0")/lib.sh"

cleartool mkview -tag base /stg/base.vws >/dev/null

# 20 writers and 20 readers at the same time.
i=0
pids=
while [ $i -lt 20 ]; do
    cleartool mkview -tag par_$i /stg/par_$i.vws >/dev/null 2>"$scratch/w$i.err" &
    pids="$pids $!"
    cleartool lsview -short base >"$scratch/r$i.out" 2>&1 &
    pids="$pids $!"
    i=$((i + 1))
done
bad=0
for p in $pids; do wait "$p" || bad=$((bad + 1)); done
same "every writer and reader succeeded" 0 "$bad"

cleartool lsview -short >"$scratch/all"
same "all 21 tags are present" 21 "$(wc -l <"$scratch/all")"
missing=
i=0
while [ $i -lt 20 ]; do
    grep -qx "par_$i" "$scratch/all" || missing="$missing par_$i"
    i=$((i + 1))
done
same "no tag was lost" "" "$missing"
same "every reader saw a whole registry" 20 "$(cat "$scratch"/r*.out | grep -cx base)"
same "no temporary files are left" "" "$(ls "$CCSIM_HOME" | grep tmp)"

# Concurrent changes of the same view's state and config spec: every command
# succeeds and the registry stays readable.
cleartool endview $(cat "$scratch/all")
printf 'element * /main/LATEST\n' >"$scratch/cs"
pids=
i=0
while [ $i -lt 10 ]; do
    cleartool startview par_$i &
    pids="$pids $!"
    cleartool setcs -tag base "$scratch/cs" &
    pids="$pids $!"
    i=$((i + 1))
done
bad=0
for p in $pids; do wait "$p" || bad=$((bad + 1)); done
same "concurrent startview and setcs all succeeded" 0 "$bad"
same "ten views are active" 10 "$(cleartool lsview | grep -c '^\*')"
same "the config spec is whole" "element * /main/LATEST" "$(cleartool catcs -tag base)"

finish
