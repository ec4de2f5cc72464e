#!/bin/sh
# "cleartool -status": one process answering many command lines, each followed by a status line.
. "$(dirname "$0")/lib.sh"

cleartool mkview -tag ann_dyn /stg/ann_dyn.vws >/dev/null
cleartool mkview -tag ann_snap -snapshot /stg/ann_snap.vws >/dev/null

# start_coprocess: runs "cleartool -status" with fd 3 its input and fd 4 its output.
start_coprocess() {
    rm -f "$scratch/in" "$scratch/outfifo"
    mkfifo "$scratch/in" "$scratch/outfifo"
    cleartool -status <"$scratch/in" >"$scratch/outfifo" 2>"$scratch/coerr" &
    copid=$!
    exec 3>"$scratch/in" 4<"$scratch/outfifo"
}

# ask LINE: sets $answer (output lines, each ended by ";"), $marker (status line or EOF), $status.
ask() {
    printf '%s\n' "$1" >&3
    answer=
    marker=EOF
    while IFS= read -r line <&4; do
        case $line in
        "Command "*" returned status "*)
            marker=$line
            status=${line##* }
            return
            ;;
        esac
        answer="$answer$line;"
    done
}

cleartool -sim-reset-counters
start_coprocess
ask "lsview -short"
same "first command" "Command 1 returned status 0|ann_dyn;ann_snap;" "$marker|$answer"
ask "lsview nosuch"
same "an error: status 1, the text on standard error" \
    'Command 2 returned status 1||cleartool: Error: No matching entries found for view tag "nosuch".' \
    "$marker|$answer|$(cat "$scratch/coerr")"
cleartool mkview -tag late_view /stg/late_view.vws >/dev/null
printf '\n' >&3
ask "lsview late_view"
same "empty lines skipped; a view made meanwhile is seen" \
    "Command 3 returned status 0|* late_view            /stg/late_view.vws;" "$marker|$answer"
echo "CCSIM_FAIL=lsview" >"$CCSIM_HOME/knobs"
ask "lsview -short ann_dyn"
same "knobs are read again for every command" "1|cleartool: Error: Simulated failure of lsview." \
    "$status|$(tail -1 "$scratch/coerr")"
: >"$CCSIM_HOME/knobs"
printf 'quit\n' >&3
wait "$copid"
same "quit ends it; one start (and the mkview's), every command counted" \
    "0|process_starts=2 commands=5 tags=4" "$?|$(cleartool -sim-counters)"
exec 3>&- 4<&-

start_coprocess
echo "CCSIM_DIE=catcs" >"$CCSIM_HOME/knobs"
ask "catcs -tag ann_dyn"
exec 3>&- 4<&-
wait "$copid"
same "one that dies mid-command prints no status line" "134|EOF|" "$?|$marker|$answer"

# Checkouts, removal and config specs through the co-process.
: >"$CCSIM_HOME/knobs"
cleartool -sim-checkout ann_dyn /vobs/app/a.c unreserved
cleartool -sim-private ann_dyn /vobs/app/a.keep
printf 'element /vobs/nosuch/... /main/LATEST\n' >"$scratch/bad.cs"
start_coprocess
ask 'lsco -avobs -fmt "%Tf\t%n %Rf\n"'
same "a quoted -fmt with escapes" "$(printf 'Command 1 returned status 0|ann_dyn\t/vobs/app/a.c unreserved;')" \
    "$marker|$answer"
ask "lsprivate -tag ann_dyn"
same "lsprivate" "Command 2 returned status 0|/view/ann_dyn/vobs/app/a.c [checkedout];/view/ann_dyn/vobs/app/a.keep;" \
    "$marker|$answer"
ask "rmview -tag ann_dyn"
ask "setcs -tag ann_dyn $scratch/bad.cs"
same "a refused rmview and a rejected setcs: status 1, their errors, nothing prompts" \
    "Command 4 returned status 1|$(printf '%s\n' 'cleartool: Error: Unable to remove view "ann_dyn": it has 1 checkout.' \
        'cleartool: Error: No registered VOB tag in path: "/vobs/nosuch/...".' \
        'cleartool: Error: Config spec semantic processing failed.')" \
    "$marker|$(cat "$scratch/coerr")"
printf 'quit\n' >&3
exec 3>&- 4<&-
wait "$copid"

finish
