#!/bin/sh
# The simulated cleartool: lsview's formats against cleartool's own samples,
# errors and exit codes, tags across regions, knobs, counters, concurrency.
. "$(dirname "$0")/lib.sh"

cat >"$scratch/views.txt" <<'EOF'
# region|tag|global path|host|flags|owner|comment|rules|created
unix_rgn|jdoe_test|/home/ccstg/jdoe/jdoe_test.vws|vobhost1|-|jdoe|||2018-04-27T07:58:08Z
Windows|jdoe_snap|\\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws|vobhost2|snapshot|DOM\jdoe|Clone of the jdoe_view view||2018-04-27T07:58:08Z
Windows|jdoe_view|\\vobhost1\ccstg\views\jdoe_view.vws||active|DOM\jdoe
Windows|jdoe_R6000_migration|\\vobhost1\ccstg\views\jdoe_R6000_m.vws||active|DOM\jdoe
Windows|snap_started|\\vobhost1\ccstg\views\snap_started.vws||snapshot,active|DOM\jdoe
Windows|ucm_snap|\\vobhost1\ccstg\views\ucm_snap.vws||snapshot,stream=dev_s|DOM\jdoe
EOF
ct -sim-import "$scratch/views.txt"
same "import reports the tags" "0 Imported 6 view tags." "$rc $(cat "$scratch/out")"

# --- formats -------------------------------------------------------------------
ct lsview # "*" only for an active dynamic view; a 20-character tag is followed by one blank
same_out "default format, current region in registry order" <<'EOF'
  jdoe_snap            \\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws
* jdoe_view            \\vobhost1\ccstg\views\jdoe_view.vws
* jdoe_R6000_migration \\vobhost1\ccstg\views\jdoe_R6000_m.vws
  snap_started         \\vobhost1\ccstg\views\snap_started.vws
  ucm_snap             \\vobhost1\ccstg\views\ucm_snap.vws
EOF
same "-short of another region" "jdoe_test" "$(cleartool lsview -short -region unix_rgn)"
same "-s" "jdoe_snap jdoe_view jdoe_R6000_migration snap_started ucm_snap" "$(echo $(cleartool lsview -s))"

ct lsview -l -full -properties -region unix_rgn jdoe_test # a base dynamic view: no "View attributes:"
same_out "-long -full -properties" <<'EOF'
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

Created 2018-04-27T07:58:08Z by jdoe.jdoe@vobhost1
Last modified 2018-04-27T07:58:08Z by jdoe.jdoe@vobhost1
Last accessed 2018-04-27T07:58:08Z by jdoe.jdoe@vobhost1
Last config spec update 2018-04-27T07:58:08Z by jdoe.jdoe@vobhost1
Text mode: unix
Properties: dynamic readwrite nshareable_dos
Owner: jdoe             : rwx (all)
Group: jdoe             : --- (none)
Other:                  : --- (none)
EOF
same "-long is the same block" "$(head -10 "$scratch/out")" "$(cleartool lsview -long -region unix_rgn jdoe_test)"
same "tag uuid equals view uuid" 1 "$(sed -n 's/^  View tag uuid://p; s/^View uuid: //p' "$scratch/out" | sort -u | wc -l)"

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
same "active dynamic view" "  Active: YES" "$(cleartool lsview -l jdoe_view | grep -e Active -e '^View attr')"
ct lsview -properties jdoe_snap # without -full no permission lines; without -long after the one-line entry
same "-properties" \
    "  jdoe_snap            \\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws|Properties: snapshot readwrite|0" \
    "$(head -1 "$scratch/out")|$(grep '^Properties' "$scratch/out")|$(grep -c '^Owner' "$scratch/out")"
same "CCSIM_CRLF" "jdoe_view\\r\\n" "$(CCSIM_CRLF=1 cleartool lsview -short jdoe_view | od -An -c | tr -d ' \n')"

# --- errors and exit codes ---------------------------------------------------------
ct lsview -short jdoe_view gone1 jdoe_snap gone2
same "known tags listed, one error for each unknown" \
    '1|jdoe_view jdoe_snap|cleartool: Error: No matching entries found for view tag "gone2".|2' \
    "$rc|$(echo $(cat "$scratch/out"))|$(tail -1 "$scratch/err")|$(grep -c '^cleartool: Error: ' "$scratch/err")"
ct mkview -tag jdoe_view /u01/jdoe/other.vws
same "mkview of an existing tag" '1|cleartool: Error: A registry entry already exists for "jdoe_view".|' \
    "$rc|$(cat "$scratch/err")|$(cat "$scratch/out")"
ct lsview -bogus
same "unknown option" '1|cleartool: Error: Unrecognized option "-bogus"' "$rc|$(head -1 "$scratch/err")"
ct describe foo
same "unknown subcommand" '1|cleartool: Error: Unrecognized command: "describe"' "$rc|$(cat "$scratch/err")"

# --- one view, tags in several regions, found by storage name; view rules ---------------
CCSIM_REGION=ccase_unix cleartool mkview -tag jdoe__dev /ccstg/views/jdoe__dev.vws >/dev/null
ct mktag -view -tag jdoe__dev -host vobhost -gpath '\\vobhost\ccstg\views\jdoe__dev.vws' '\\vobhost\ccstg\views\jdoe__dev.vws'
same "mktag prints nothing" "0|" "$rc|$(cat "$scratch/out")"
ct lsview -long jdoe__dev
same "the Windows tag's own global path and host, the view's access path" \
    '  Global path: \\vobhost\ccstg\views\jdoe__dev.vws|  Server host: vobhost|View server access path: /ccstg/views/jdoe__dev.vws' \
    "$(sed -n 2p "$scratch/out")|$(sed -n 3p "$scratch/out")|$(grep 'access path' "$scratch/out")"
same "both tags name the same view" "$(grep '^View uuid' "$scratch/out")" \
    "$(cleartool lsview -long -region ccase_unix jdoe__dev | grep '^View uuid')"
cleartool startview jdoe__dev
same "startview through one tag is seen through the other" "* jdoe__dev" \
    "$(CCSIM_REGION=ccase_unix cleartool lsview jdoe__dev | cut -c1-11)"
ct mktag -view -tag orphan -host vobhost '\\vobhost\ccstg\views\orphan.vws'
same "mktag without such a view" "1|1" "$rc|$(grep -c '^cleartool: Error: ' "$scratch/err")"
printf 'element * CHECKEDOUT\r\nload /vobs/r6000\r\n' >"$scratch/cs"
cleartool setcs -tag jdoe__dev "$scratch/cs"
ct setcs -tag jdoe__dev "$scratch/missing"
same "setcs of a missing file fails and keeps the rules" "1|$(cat "$scratch/cs")" \
    "$rc|$(cleartool catcs -tag jdoe__dev)"
ct rmview -tag jdoe__dev
same "rmview prints nothing and removes the tags of every region" "0||1" \
    "$rc|$(cat "$scratch/out")|$(cleartool lsview -region ccase_unix jdoe__dev >/dev/null 2>&1; echo $?)"
cleartool rmtag -view jdoe_R6000_migration
same "rmtag removes the tag only" "jdoe_snap jdoe_view snap_started ucm_snap" "$(echo $(cleartool lsview -short))"

# --- knobs -----------------------------------------------------------------------------
CCSIM_FAIL=catcs,mkview cleartool mkview -tag v3 /stg/v3.vws >"$scratch/out" 2>"$scratch/err"
same "a listed subcommand fails and makes nothing" "1|cleartool: Error: Simulated failure of mkview.||1" \
    "$?|$(cat "$scratch/err")|$(cat "$scratch/out")|$(cleartool lsview -short v3 >/dev/null 2>&1; echo $?)"
same "others still work" 0 "$(CCSIM_FAIL=catcs,mkview cleartool lsview -short jdoe_view >/dev/null; echo $?)"
echo "CCSIM_FAIL=" >"$CCSIM_HOME/knobs"
same "an empty knob in the knobs file overrides the environment" 0 \
    "$(CCSIM_FAIL=lsview cleartool lsview -short jdoe_view >/dev/null 2>&1; echo $?)"
: >"$CCSIM_HOME/knobs"
CCSIM_DIE=mkview cleartool mkview -tag v4 /stg/v4.vws >"$scratch/out" 2>"$scratch/err"
# (the shell itself may report "Aborted" on the same stream)
same "a process that dies: status 134, nothing printed or made" "134||0|1" \
    "$?|$(cat "$scratch/out")|$(grep -c cleartool "$scratch/err")|$(cleartool lsview -short v4 >/dev/null 2>&1; echo $?)"

cleartool -sim-reset-counters
cleartool lsview >/dev/null # a listing names no tag
cleartool lsview -short jdoe_view ucm_snap nosuch >/dev/null 2>&1
CCSIM_FAIL=startview cleartool startview jdoe_view 2>/dev/null
same "one start and one command per process; tags named as arguments" \
    "process_starts=3 commands=3 tags=4" "$(cleartool -sim-counters)"

# --- 20 writers and 20 readers at once ------------------------------------------------
cleartool -sim-reset-counters
pids=
for i in $(seq 0 19); do
    cleartool mkview -tag par_$i /stg/par_$i.vws >/dev/null 2>"$scratch/w$i.err" &
    pids="$pids $!"
    cleartool lsview -short jdoe_view >"$scratch/r$i.out" 2>&1 &
    pids="$pids $!"
done
bad=0
for p in $pids; do wait "$p" || bad=$((bad + 1)); done
same "every writer and reader succeeded, and was counted" "0|process_starts=40 commands=40 tags=40" \
    "$bad|$(cleartool -sim-counters)"
same "no tag was lost" 20 "$(cleartool lsview -short | grep -c '^par_')"
same "every reader saw a whole registry" 20 "$(cat "$scratch"/r*.out | grep -cx jdoe_view)"
same "no temporary files are left" "" "$(ls "$CCSIM_HOME" | grep tmp)"

# --- the demo region loads; its tags in two regions name one view -------------------------
CCSIM_HOME=$scratch/demo
ct -sim-import "$QUILLON_SOURCE_DIR/demo/region/views.txt"
same "the demo region" "0|Windows ccase_unix|$(cleartool lsview -l jdoe__dev | grep '^View uuid')" \
    "$rc|$(echo $(cleartool lsregion))|$(cleartool lsview -l -region ccase_unix jdoe__dev | grep '^View uuid')"

finish
