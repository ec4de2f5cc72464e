#!/bin/sh
# Checkouts and view-private files: the import's records, lsco's formats and filters, lsprivate,
# rmview's refusal and its VOB references, unreachable storage, the stale-tag clean-up order.
. "$(dirname "$0")/lib.sh"

cat >"$scratch/views.txt" <<'EOF'
Windows|feat|\\vobhost\views\feat.vws|vobhost|active,checkouts=5,private=2|DOM\jdoe|||2024-05-02T07:58:08Z
Windows|lost|\\vobhost\views\lost.vws|vobhost|unreachable,checkouts=1|DOM\asmith|||2023-01-10T00:00:00Z
ccase_unix|lost|/net/vobhost/views/lost.vws|vobhost|tag|asmith
Windows|snap|\\vobhost\views\snap.vws|vobhost|snapshot|DOM\jdoe
Windows|clean|\\vobhost\views\clean.vws|vobhost|-|DOM\jdoe
EOF
ct -sim-import "$scratch/views.txt"
uuid_of() { cleartool lsview -long "$@" | sed -n 's/^View uuid: //p'; }
feat=$(uuid_of feat)
lost=$(uuid_of lost)

ct lsco -avobs -fmt '%Tf|%n|%Rf|%d|%u\n'
same_out "generated checkouts: VOBs alternate, every fourth unreserved, hourly after creation" <<'EOF'
feat|/vobs/app/src/file_0001.c|reserved|2024-05-02T08:58:08Z|jdoe
feat|/vobs/tools/src/file_0002.c|reserved|2024-05-02T09:58:08Z|jdoe
feat|/vobs/app/src/file_0003.c|reserved|2024-05-02T10:58:08Z|jdoe
feat|/vobs/tools/src/file_0004.c|unreserved|2024-05-02T11:58:08Z|jdoe
feat|/vobs/app/src/file_0005.c|reserved|2024-05-02T12:58:08Z|jdoe
lost|/vobs/app/src/file_0001.c|reserved|2023-01-10T01:00:00Z|asmith
EOF
same "%TUf is the holding view's uuid: 5 lines for feat, 1 for lost" "5|1" \
    "$(cleartool lsco -avobs -fmt '%TUf %n\n' | grep -c "^$feat /vobs/")|$(cleartool lsco -all -fmt '%TUf\n' | grep -cx "$lost")"
same "%% and escapes; unknown directives and other backslashes kept" "$(printf '%%|%%x|\t|\\|\\q|feat')" \
    "$(cleartool lsco -avobs -fmt '%%|%x|\t|\\|\q|%Tf\n' | head -1)"
same "the older date form" "02-May-24.08:58:08" "$(CCSIM_OLD_DATES=1 cleartool lsco -avobs -fmt '%d\n' | head -1)"
same "-short -me, -user (user part), a directory's entries" \
    "5|/vobs/app/src/file_0001.c|/vobs/tools/src/file_0002.c /vobs/tools/src/file_0004.c" \
    "$(cleartool lsco -avobs -me -short | wc -l)|$(cleartool lsco -avobs -user 'DOM\asmith' -short)|$(echo $(cleartool lsco -short /vobs/tools/src/))"
ct lsco -short /vobs/nosuch/a.c /vobs/app/src/file_0003.c
same "a pname outside every VOB is an error; the others are listed" \
    '1|/vobs/app/src/file_0003.c|cleartool: Error: Not a vob object: "/vobs/nosuch/a.c".' \
    "$rc|$(cat "$scratch/out")|$(cat "$scratch/err")"
ct lsco -short
same "no scope: not in a VOB" '1|cleartool: Error: Not a vob object: ".".' "$rc|$(cat "$scratch/err")"

# lsprivate: checked-out and other view-private files through the view, sorted.
cleartool -sim-private feat '/vobs/app/src/a b.keep'
cleartool -sim-checkout feat /vobs/app/src/zz.c unreserved
ct lsprivate -tag feat
same_out "lsprivate without filters" <<'EOF'
/view/feat/vobs/app/src/a b.keep
/view/feat/vobs/app/src/file_0001.c [checkedout]
/view/feat/vobs/app/src/file_0003.c [checkedout]
/view/feat/vobs/app/src/file_0005.c [checkedout]
/view/feat/vobs/app/src/notes_0001.txt
/view/feat/vobs/app/src/zz.c [checkedout]
/view/feat/vobs/tools/src/file_0002.c [checkedout]
/view/feat/vobs/tools/src/file_0004.c [checkedout]
/view/feat/vobs/tools/src/notes_0002.txt
EOF
same "-co, -other, -do, -co -other" "6 6|3 0|0|9" \
    "$(cleartool lsprivate -tag feat -co | wc -l) $(cleartool lsprivate -tag feat -co | grep -c ' \[checkedout\]$')|$(cleartool lsprivate -tag feat -other | wc -l) $(cleartool lsprivate -tag feat -other | grep -c checkedout)|$(cleartool lsprivate -tag feat -do | wc -l)|$(cleartool lsprivate -tag feat -co -other | wc -l)"
for tag in snap lost nosuch; do
    ct lsprivate -tag $tag
    echo "$rc $(cat "$scratch/err")"
done >"$scratch/lsprivate"
same "lsprivate of a snapshot view, of unreachable storage, of an unknown tag" \
    "$(cat <<'EOF'
1 cleartool: Error: lsprivate does not work in a snapshot view: "snap".
1 cleartool: Error: Operation "view_get_prop(VIEW_PROP_WEBVIEW)" failed: view storage directory or control files unavailable -- additional information may be present in the view server host's view log.
1 cleartool: Error: No matching entries found for view tag "nosuch".
EOF
)" "$(cat "$scratch/lsprivate")"
unavailable=$(sed -n 2p "$scratch/lsprivate" | cut -c3-)

# Unreachable storage: what needs the view server fails; the registry's side still works.
for cmd in "endview -server lost" "startview lost" "catcs -tag lost" "setcs -tag lost $scratch/views.txt" \
    "rmview -force -tag lost" "lsview -long -properties -full lost"; do
    ct $cmd
    echo "$rc $(tail -1 "$scratch/err")"
done | sort -u >"$scratch/unreachable"
same "each fails with the storage error" "1 $unavailable" "$(cat "$scratch/unreachable")"
same "lsview -long -properties -full: the registry block first" "10|View owner: DOM\\asmith" \
    "$(wc -l <"$scratch/out")|$(tail -1 "$scratch/out")"
same "plain, -long and -short lsview still work; rmview changed nothing" "0|0|lost" \
    "$(cleartool lsview lost >/dev/null; echo $?)|$(cleartool lsview -long lost >/dev/null; echo $?)|$(cleartool lsview -short lost)"

# rmview: refused while the view has checkouts; -force drops them with the view.
cp "$CCSIM_HOME/registry" "$scratch/registry.before"
ct rmview -tag feat
same "refused, registry unchanged" '1|cleartool: Error: Unable to remove view "feat": it has 6 checkouts.|same' \
    "$rc|$(cat "$scratch/err")|$(cmp -s "$CCSIM_HOME/registry" "$scratch/registry.before" && echo same)"
ct rmview -force -tag feat
same_out "rmview -force: the references in each VOB" <<'EOF'
Removing references from VOB "/vobs/app" ...
Removed references to view "vobhost:\\vobhost\views\feat.vws" from VOB "/vobs/app".
Removing references from VOB "/vobs/tools" ...
Removed references to view "vobhost:\\vobhost\views\feat.vws" from VOB "/vobs/tools".
EOF
same "its checkouts and private files are gone; rmview of a view without checkouts is silent" "0|0|0" \
    "$(grep -c "$feat" "$CCSIM_HOME/registry")|$(cleartool lsco -avobs -fmt '%TUf\n' | grep -c "$feat")|$(cleartool rmview -tag clean 2>&1; echo $?)"

# The stale-tag clean-up, in its documented order, for a view whose storage is gone.
ct rmtag -view -all lost
r1="$rc$(cat "$scratch/out" "$scratch/err")"
ct unregister -view -uuid "$lost"
r2="$rc$(cat "$scratch/out" "$scratch/err")"
same "rmtag -all and unregister: silent; no tag in either region" "0|0|1|1" \
    "$r1|$r2|$(cleartool lsview lost 2>/dev/null; echo $?)|$(cleartool lsview -region ccase_unix lost 2>/dev/null; echo $?)"
same "its checkouts stay, with no tag in the region" "$lost <no-tag-in-region> /vobs/app/src/file_0001.c" \
    "$(cleartool lsco -avobs -fmt '%TUf %Tf %n\n')"
ct rmview -force -all -uuid "$lost"
same_out "rmview -force -all -uuid" <<'EOF'
 Removed references to view "vobhost:\\vobhost\views\lost.vws" from VOB "/vobs/app".
EOF
same "nothing left behind; the uuid is unknown now" \
    "0||1|cleartool: Error: Unable to unregister view \"$lost\": ClearCase object not found. 1" \
    "$(grep -c "$lost" "$CCSIM_HOME/registry")|$(cleartool lsco -avobs)|$(cleartool rmview -force -all -uuid "$lost" 2>/dev/null; echo $?)|$(echo $(cleartool unregister -view -uuid "$lost" 2>&1; echo $?))"

# -all -uuid also takes a view that is still registered and tagged; without -force it refuses.
cleartool -sim-checkout snap /vobs/tools/x.c
snap=$(uuid_of snap)
ct rmview -all -uuid "$snap"
same "rmview -all -uuid without -force" "1|cleartool: Error: Unable to remove view \"$snap\": it has 1 checkout." \
    "$rc|$(cat "$scratch/err")"
ct rmview -force -all -uuid "$snap"
same "with -force: view, tag and checkout removed" "0|1|" \
    "$rc|$(cleartool lsview -short snap 2>/dev/null; echo $?)|$(cleartool lsco -avobs)"

cleartool -sim-reset-counters
cleartool lsprivate -tag nosuch 2>/dev/null
cleartool lsco -avobs
cleartool rmview -force -all -uuid nosuch 2>/dev/null
same "lsprivate -tag names a tag; lsco and rmview -uuid none" "process_starts=3 commands=3 tags=1" \
    "$(cleartool -sim-counters)"

finish
