#!/bin/sh
# "cleartool -status": one process answering many command lines, each
# followed by a status line. The test talks to it through two FIFOs and reads
# its answers line by line, so it waits for nothing but the answers.
. "$(dirname "$0")/lib.sh"

cleartool mkview -tag ann_dyn /stg/ann_dyn.vws >/dev/null
cleartool mkview -tag ann_snap -snapshot /stg/ann_snap.vws >/dev/null

# start_coprocess: runs "cleartool -status" on fds 3 (its input) and 4 (its output).
start_coprocess() {
    rm -f "$scratch/in" "$scratch/outfifo"
    mkfifo "$scratch/in" "$scratch/outfifo"
    cleartool -status <"$scratch/in" >"$scratch/outfifo" 2>"$scratch/coerr" &
    copid=$!
    exec 3>"$scratch/in" 4<"$scratch/outfifo"
}

# ask LINE: sends a command line; sets $answer (the output before the status
# line), $marker (the status line) and $status (its status), or marker=EOF.
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

start_coprocess
ask "lsview -short"
same "first command" "Command 1 returned status 0|ann_dyn;ann_snap;" "$marker|$answer"
ask "lsview nosuch"
same "an error gives status 1 and keeps the stream" "Command 2 returned status 1|" "$marker|$answer"
same "the error went to standard error" 'cleartool: Error: No matching entries found for view tag "nosuch".' \
    "$(cat "$scratch/coerr")"
printf '\n' >&3
ask "lsview ann_dyn"
same "empty lines are skipped; n keeps counting" "Command 3 returned status 0|* ann_dyn              /stg/ann_dyn.vws;" \
    "$marker|$answer"
ask "bogus"
same "a bad command line is a failed command" "Command 4 returned status 1" "$marker"

# Answers are fresh: another process changes the registry meanwhile.
cleartool mkview -tag late_view /stg/late_view.vws >/dev/null
ask "lsview -short late_view"
same "a view made by another process is seen" "0|late_view;" "$status|$answer"

# A double-quoted run is one word.
ask 'mktag -view -tag quoted_tag -tcomment "two words" -host vobhost1 /other/late_view.vws'
ask "lsview -long quoted_tag"
same "quoted words" 'Tag: quoted_tag "two words"' "$(echo "$answer" | cut -d';' -f1)"

# Knobs are read again for every command.
echo "CCSIM_FAIL=lsview" >"$CCSIM_HOME/knobs"
ask "lsview -short ann_dyn"
same "a knob set while the co-process lives" "1|cleartool: Error: Simulated failure of lsview." \
    "$status|$(tail -1 "$scratch/coerr")"
: >"$CCSIM_HOME/knobs"
ask "lsview -short ann_dyn"
same "and cleared again" "0|ann_dyn;" "$status|$answer"

printf 'quit\n' >&3
wait "$copid"
same "quit ends the co-process normally" 0 "$?"
exec 3>&- 4<&-

# End of input ends it too.
start_coprocess
ask "lsregion"
exec 3>&-
wait "$copid"
same "end of input ends it" "0|Windows;" "$?|$answer"
exec 4<&-

# A co-process that dies in the middle of a command prints no status line.
start_coprocess
ask "lsview -short ann_snap"
echo "CCSIM_DIE=catcs" >"$CCSIM_HOME/knobs"
ask "catcs -tag ann_dyn"
same "a dying co-process leaves no status line" "EOF|" "$marker|$answer"
exec 3>&- 4<&-
wait "$copid"
same "it died abruptly" 134 "$?"

finish
