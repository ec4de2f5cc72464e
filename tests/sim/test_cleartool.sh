#!/bin/sh
# The simulated cleartool: lsview's formats against cleartool's own samples, errors and exit
# codes, concurrency. (Tags across regions, view ages, the knobs and the counters are tried
# through Quillon's own tests, which rely on them.)
. "$(dirname "$0")/lib.sh"

cat >"$scratch/views.txt" <<'EOF'
# region|tag|global path|host|flags|owner|comment|rules|created
unix_rgn|jdoe_test|/home/ccstg/jdoe/jdoe_test.vws|vobhost1|-|jdoe
Windows|jdoe_snap|\\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws|vobhost2|snapshot|DOM\jdoe|Clone of the jdoe_view view
Windows|jdoe_R6000_migration|\\vobhost1\ccstg\views\jdoe_R6000_m.vws||active|DOM\jdoe
Windows|ucm_snap|\\vobhost1\ccstg\views\ucm_snap.vws||snapshot,stream=dev_s|DOM\jdoe
EOF
ct -sim-import "$scratch/views.txt"
same "import" "0 Imported 4 view tags." "$rc $(cat "$scratch/out")"

ct lsview # "*" for an active view; a 20-character tag is followed by one blank
same_out "default format, current region in registry order" <<'EOF'
  jdoe_snap            \\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws
* jdoe_R6000_migration \\vobhost1\ccstg\views\jdoe_R6000_m.vws
  ucm_snap             \\vobhost1\ccstg\views\ucm_snap.vws
EOF
same "-short of another region" "jdoe_test" "$(cleartool lsview -short -region unix_rgn)"
ct lsview -long -region unix_rgn jdoe_test # a base dynamic view: no "View attributes:"
same_out "-long" <<'EOF'
Tag: jdoe_test
  Global path: /home/ccstg/jdoe/jdoe_test.vws
  Server host: vobhost1
  Region: unix_rgn
  Active: NO
  View tag uuid:UUID
View on host: vobhost1
View server access path: /home/ccstg/jdoe/jdoe_test.vws
View uuid: UUID
View owner: jdoe
EOF
ct lsview -l jdoe_snap
same_out "-long of a snapshot view with a comment" <<'EOF'
Tag: jdoe_snap "Clone of the jdoe_view view"
  Global path: \\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws
  Server host: vobhost2
  Region: Windows
  Active: NO
  View tag uuid:UUID
View on host: vobhost2
View server access path: \\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws
View uuid: UUID
View attributes: snapshot
View owner: DOM\jdoe
EOF
same "snapshot UCM attributes" "View attributes: snapshot,ucmview" "$(cleartool lsview -l ucm_snap | grep '^View attr')"

ct lsview -short ucm_snap gone1 jdoe_snap gone2
same "known tags listed, one error for each unknown" \
    '1|ucm_snap jdoe_snap|cleartool: Error: No matching entries found for view tag "gone2".|2' \
    "$rc|$(echo $(cat "$scratch/out"))|$(tail -1 "$scratch/err")|$(grep -c '^cleartool: Error: ' "$scratch/err")"
ct mkview -tag jdoe_snap /u01/jdoe/other.vws
same "mkview of an existing tag" '1|cleartool: Error: A registry entry already exists for "jdoe_snap".|' \
    "$rc|$(cat "$scratch/err")|$(cat "$scratch/out")"

# 20 writers and 20 readers at once.
cleartool -sim-reset-counters
pids=
for i in $(seq 0 19); do
    cleartool mkview -tag par_$i /stg/par_$i.vws >/dev/null 2>&1 &
    pids="$pids $!"
    cleartool lsview -short jdoe_snap >"$scratch/r$i.out" 2>&1 &
    pids="$pids $!"
done
bad=0
for p in $pids; do wait "$p" || bad=$((bad + 1)); done
same "all succeeded and were counted; no tag lost; every reader saw a whole registry" \
    "0|process_starts=40 commands=40 tags=40|20|20" \
    "$bad|$(cleartool -sim-counters)|$(cleartool lsview -short | grep -c '^par_')|$(cat "$scratch"/r*.out | grep -cx jdoe_snap)"

finish
