#!/bin/sh
# lsview's output formats, compared with cleartool's own samples.
. "$(dirname "$0")/lib.sh"

cat >"$scratch/views.txt" <<'EOF'
# region|tag|global path|host|flags|owner|comment|config spec|created
unix_rgn|jdoe_test|/home/ccstg/jdoe/jdoe_test.vws|vobhost1|-|jdoe|||2018-04-27T07:58:08Z
Windows|jdoe_snap|\\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws|vobhost2|snapshot|DOM\jdoe|Clone of the jdoe_view view||2018-04-27T07:58:08Z
Windows|jdoe_view|\\vobhost1\ccstg\views\jdoe_view.vws||active|DOM\jdoe
Windows|jdoe_R6000_migration|\\vobhost1\ccstg\views\jdoe_R6000_m.vws||active|DOM\jdoe
Windows|snap_started|\\vobhost1\ccstg\views\snap_started.vws||snapshot,active|DOM\jdoe
Windows|ucm_snap|\\vobhost1\ccstg\views\ucm_snap.vws||snapshot,stream=dev_s|DOM\jdoe
EOF
ct -sim-import "$scratch/views.txt"
same "import reports the tags" "0 Imported 6 view tags." "$rc $(cat "$scratch/out")"

# Default format: "*" only for an active dynamic view; a tag of 20 characters
# is followed by one blank.
cat >"$scratch/expected" <<'EOF'
  jdoe_snap            \\vobhost2\ccstg_c\views\DOM\jdoe\jdoe_snap.vws
* jdoe_view            \\vobhost1\ccstg\views\jdoe_view.vws
* jdoe_R6000_migration \\vobhost1\ccstg\views\jdoe_R6000_m.vws
  snap_started         \\vobhost1\ccstg\views\snap_started.vws
  ucm_snap             \\vobhost1\ccstg\views\ucm_snap.vws
EOF
ct lsview
same_file "default format, current region in registry order" "$scratch/expected" "$scratch/out"

ct lsview -short -region unix_rgn
same "-short of another region" "jdoe_test" "$(cat "$scratch/out")"
ct lsview -s
same "-s lists bare tags" "jdoe_snap jdoe_view jdoe_R6000_migration snap_started ucm_snap" "$(echo $(cat "$scratch/out"))"

# -long of a base dynamic view: no "View attributes:" line.
cat >"$scratch/expected" <<'EOF'
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
ct lsview -long -region unix_rgn jdoe_test
mask_uuids "$scratch/out" >"$scratch/masked"
same_file "-long of a dynamic view" "$scratch/expected" "$scratch/masked"
same "tag uuid equals view uuid" 1 "$(sed -n 's/^  View tag uuid://p; s/^View uuid: //p' "$scratch/out" | sort -u | wc -l)"

# -long of a snapshot view with a tag comment.
cat >"$scratch/expected" <<'EOF'
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
ct lsview -l jdoe_snap
mask_uuids "$scratch/out" >"$scratch/masked"
same_file "-long of a snapshot view with a comment" "$scratch/expected" "$scratch/masked"

ct lsview -l ucm_snap
same "snapshot UCM attributes" "View attributes: snapshot,ucmview" "$(grep '^View attributes' "$scratch/out")"
ct lsview -l jdoe_view
same "active dynamic view" "  Active: YES|" "$(grep Active "$scratch/out")|$(grep '^View attributes' "$scratch/out")"

# The detail window's command: the long block, a blank line, the properties.
cat >"$scratch/expected" <<'EOF'
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
ct lsview -l -full -properties -region unix_rgn jdoe_test
mask_uuids "$scratch/out" >"$scratch/masked"
same_file "-l -full -properties" "$scratch/expected" "$scratch/masked"

# -properties without -full has no permission lines; without -long the
# properties follow the one-line entry.
ct lsview -properties jdoe_snap
same "-properties after the one-line entry" \
    "  jdoe_snap            \\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws|Properties: snapshot readwrite|0" \
    "$(head -1 "$scratch/out")|$(grep '^Properties' "$scratch/out")|$(grep -c '^Owner' "$scratch/out")"

# Windows line ends on request.
CCSIM_CRLF=1 cleartool lsview -short jdoe_view >"$scratch/out"
same "CCSIM_CRLF ends lines in CR LF" "jdoe_view\\r\\n" "$(od -An -c "$scratch/out" | tr -d ' \n')"

finish
