#!/bin/sh
# Making, tagging, listing and removing views; errors and exit codes.
. "$(dirname "$0")/lib.sh"

# --- mkview ---------------------------------------------------------------
ct mkview -tag jdoe_v1 /u01/jdoe/jdoe_v1.vws
cat >"$scratch/expected" <<'EOF'
Created view.
Host-local path: vobhost1:/u01/jdoe/jdoe_v1.vws
Global path:     /u01/jdoe/jdoe_v1.vws
It has the following rights:
User : jdoe : rwx
Group: jdoe : ---
Other:          : ---
EOF
same_file "mkview's report" "$scratch/expected" "$scratch/out"
same "mkview succeeds" 0 "$rc"

ct mkview -tag jdoe_v1 /u01/jdoe/other.vws
same "mkview of an existing tag" '1|cleartool: Error: A registry entry already exists for "jdoe_v1".|' \
    "$rc|$(cat "$scratch/err")|$(cat "$scratch/out")"

ct mkview -tag jdoe_snap -snapshot -stream dev_jdoe '\\vobhost1\views\jdoe_snap.vws'
same "snapshot UCM view on a Windows path: no rights, directory and stream lines" \
    "0|Host-local path: vobhost1:\\\\vobhost1\\views\\jdoe_snap.vws|Created snapshot view directory \"\\\\vobhost1\\views\\jdoe_snap\".|Attached view to stream \"dev_jdoe\".|0" \
    "$rc|$(sed -n 2p "$scratch/out")|$(sed -n 4p "$scratch/out")|$(sed -n 5p "$scratch/out")|$(grep -c rights "$scratch/out")"

# --- lsview errors ------------------------------------------------------------
ct lsview nosuch
same "unknown tag" '1|cleartool: Error: No matching entries found for view tag "nosuch".|' \
    "$rc|$(cat "$scratch/err")|$(cat "$scratch/out")"
ct lsview -short JDOE_V1
same "tags are case-sensitive" 1 "$rc"
ct lsview -short jdoe_v1 gone1 jdoe_snap gone2
same "several tags, some unknown: output for the known, an error for each unknown" \
    "1|jdoe_v1 jdoe_snap|2" "$rc|$(echo $(cat "$scratch/out"))|$(grep -c '^cleartool: Error: No matching entries' "$scratch/err")"
ct lsview -region nowhere
same "unknown region" "1|1" "$rc|$(grep -c '^cleartool: Error: ' "$scratch/err")"
ct lsview -bogus
same "unknown option" '1|cleartool: Error: Unrecognized option "-bogus"' "$rc|$(head -1 "$scratch/err")"
ct describe foo
same "unknown subcommand" '1|cleartool: Error: Unrecognized command: "describe"' "$rc|$(cat "$scratch/err")"
ct mkview -tag
same "option without its value" "1|1" "$rc|$(grep -c '^cleartool: Error: ' "$scratch/err")"
(unset CCSIM_HOME && cleartool lsview >/dev/null 2>&1)
same "no registry without CCSIM_HOME" 1 "$?"

# --- mktag: one view, tags in several regions, found by storage name ---------
CCSIM_REGION=ccase_unix cleartool mkview -tag jdoe__dev /ccstg/views/jdoe__dev.vws >/dev/null
ct mktag -view -tag jdoe__dev -host vobhost -gpath '\\vobhost\ccstg\views\jdoe__dev.vws' '\\vobhost\ccstg\views\jdoe__dev.vws'
same "mktag prints nothing" "0|" "$rc|$(cat "$scratch/out")"
ct lsview -long jdoe__dev
win_uuid=$(sed -n 's/^View uuid: //p' "$scratch/out")
same "the Windows tag's own global path and host" \
    '  Global path: \\vobhost\ccstg\views\jdoe__dev.vws|  Server host: vobhost|View server access path: /ccstg/views/jdoe__dev.vws' \
    "$(sed -n 2p "$scratch/out")|$(sed -n 3p "$scratch/out")|$(grep 'access path' "$scratch/out")"
unix_uuid=$(cleartool lsview -long -region ccase_unix jdoe__dev | sed -n 's/^View uuid: //p')
same "both tags name the same view" "$unix_uuid" "$win_uuid"
CCSIM_REGION=ccase_unix cleartool endview jdoe__dev
same "a view's state is seen through every tag" "  jdoe__dev" "$(cleartool lsview jdoe__dev | cut -c1-11)"
ct mktag -view -tag jdoe__dev -host vobhost '\\vobhost\ccstg\views\jdoe__dev.vws'
same "mktag of a tag that exists in the region" '1|cleartool: Error: A registry entry already exists for "jdoe__dev".' \
    "$rc|$(cat "$scratch/err")"
ct mktag -view -tag orphan -host vobhost '\\vobhost\ccstg\views\orphan.vws'
same "mktag without such a view" "1|1" "$rc|$(grep -c '^cleartool: Error: ' "$scratch/err")"
same "lsregion lists both regions" "Windows ccase_unix" "$(echo $(cleartool lsregion))"

# --- startview / endview ----------------------------------------------------------
cleartool startview jdoe__dev
same "startview marks the dynamic view" "* jdoe__dev" "$(cleartool lsview jdoe__dev | cut -c1-11)"
ct endview jdoe__dev nosuch
same "endview with an unknown tag" "1|  jdoe__dev" "$rc|$(cleartool lsview jdoe__dev | cut -c1-11)"

# --- config specs -------------------------------------------------------------------
printf 'element * CHECKEDOUT\r\nelement * /main/LATEST\r\nload /vobs/r6000\r\n' >"$scratch/cs"
ct setcs -tag jdoe_v1 "$scratch/cs"
same "setcs succeeds silently" "0|" "$rc|$(cat "$scratch/out")"
cleartool catcs -tag jdoe_v1 >"$scratch/out"
same_file "catcs gives the config spec as stored" "$scratch/cs" "$scratch/out"
ct setcs -tag jdoe_v1 "$scratch/missing"
same "setcs of a missing file" "1|1" "$rc|$(grep -c '^cleartool: Error: ' "$scratch/err")"
cleartool catcs -tag jdoe_v1 >"$scratch/out"
same_file "a failed setcs leaves the config spec" "$scratch/cs" "$scratch/out"
ct catcs -tag nosuch
same "catcs of an unknown tag" '1|cleartool: Error: No matching entries found for view tag "nosuch".' "$rc|$(cat "$scratch/err")"

# --- rmtag / rmview --------------------------------------------------------------------
ct rmtag -view nosuch
same "rmtag of an unknown tag" '1|cleartool: Error: Unable to remove "nosuch": ClearCase object not found.' \
    "$rc|$(cat "$scratch/err")"
ct rmview -tag jdoe__dev
same "rmview prints nothing" "0|" "$rc|$(cat "$scratch/out")"
ct lsview -region ccase_unix jdoe__dev
same "rmview removes the view's tags in every region" 1 "$rc"
same "rmview leaves other views" "jdoe_v1 jdoe_snap" "$(echo $(cleartool lsview -short))"
ct rmview -tag jdoe__dev
same "rmview of an unknown tag" '1|cleartool: Error: No matching entries found for view tag "jdoe__dev".' \
    "$rc|$(cat "$scratch/err")"
cleartool rmtag -view jdoe_snap
same "rmtag removes the tag only" "jdoe_v1" "$(echo $(cleartool lsview -short))"

finish
