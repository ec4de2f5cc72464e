#!/bin/sh
# setcs: the rules it accepts and rejects, the VOBs it knows, snapshot views set from inside
# their root, and the registry untouched by a rejected config spec.
. "$(dirname "$0")/lib.sh"

cleartool mkview -tag dyn /stg/dyn.vws >/dev/null
cs=$scratch/cs
# setcs_ok NAME TEXT: setcs of TEXT succeeds and catcs gives it back byte for byte.
setcs_ok() {
    printf '%b' "$2" >"$cs"
    ct setcs -tag dyn "$cs"
    same "$1" "0||$(od -c <"$cs")" "$rc|$(cat "$scratch/err")|$(cleartool catcs -tag dyn | od -c)"
}
setcs_ok "templates: element rules with options, a known VOB, CR LF ends" \
    'element * CHECKEDOUT\r\nelement /vobs/app/... .../dev/LATEST\r\nelement * /main/LATEST -mkbranch dev\r\n'
setcs_ok "comments, blank lines, load rules of any VOB, UCM lines, time and mkbranch blocks" \
    '# header\n\n  element -file *.c /main/0 # trailing\nelement -eltype text_file \\vobs\\tools\\... /main/LATEST\nload /vobs/elsewhere\nucm\nidentity UCM.Stream oid:1@vobuuid:2 3\ntime 1-Jan-2024\nend time\nmkbranch fix\nend mkbranch fix\ninclude /cs/common.cs\nelement /vobs/app /main/LATEST'

# A rejected config spec changes nothing, not even the times.
cp "$CCSIM_HOME/registry" "$scratch/registry.before"
printf 'element * CHECKEDOUT\r\nelement /vobs/application/... /main/LATEST\r\nbogus rule\nelement *\nend\n' >"$cs"
ct setcs -tag dyn "$cs"
same "rejected: each problem with its line, then the closing error" "$(cat <<'EOF'
1|
cleartool: Error: No registered VOB tag in path: "/vobs/application/...".
cleartool: Error: Syntax error in config spec, line 3: unknown rule "bogus".
cleartool: Error: Syntax error in config spec, line 4: an element rule needs a pattern and a version selector.
cleartool: Error: Syntax error in config spec, line 5: "end" must be followed by "time" or "mkbranch".
cleartool: Error: Config spec semantic processing failed.
same
EOF
)" "$rc|$(cat "$scratch/out")
$(cat "$scratch/err")
$(cmp -s "$CCSIM_HOME/registry" "$scratch/registry.before" && echo same)"

# The VOBs: CCSIM_VOBS instead of the default ones, and those holding a checkout.
printf 'element /vobs/legacy/... /main/LATEST\n' >"$cs"
r1=$(cleartool setcs -tag dyn "$cs" 2>&1 | head -1)
cleartool -sim-checkout dyn /vobs/legacy/old.c
cleartool setcs -tag dyn "$cs"
r2=$?
printf 'element /vobs/app/... /main/LATEST\n' >"$cs"
r3=$(CCSIM_VOBS=/vobs/a,/vobs/b cleartool setcs -tag dyn "$cs" 2>&1 | head -1)
printf 'element \\vobs\\b\\... /main/LATEST\n' >"$cs"
CCSIM_VOBS=/vobs/a,/vobs/b cleartool setcs -tag dyn "$cs"
same "unknown VOB; known once it holds a checkout; CCSIM_VOBS replaces the defaults" \
    'cleartool: Error: No registered VOB tag in path: "/vobs/legacy/...".|0|cleartool: Error: No registered VOB tag in path: "/vobs/app/...".|0' \
    "$r1|$r2|$r3|$?"

# A snapshot view's config spec is set from inside its root, never by tag.
mkdir -p "$scratch/snaproot/sub"
cleartool mkview -tag snap -snapshot -vws /stg/snap.vws "$scratch/snaproot" >/dev/null
printf 'element * /main/LATEST\nload /vobs/app\n' >"$cs"
ct setcs -tag snap "$cs"
same "setcs -tag of a snapshot view" \
    '1|cleartool: Error: The config spec of snapshot view "snap" can be set only from inside the view, in its root directory.' \
    "$rc|$(cat "$scratch/err")"
(cd "$scratch/snaproot/sub" && cleartool setcs "$cs")
same "from a folder inside its root" "0|load /vobs/app" "$?|$(cleartool catcs -tag snap | tail -1)"
cleartool -sim-checkout snap /vobs/app/in_snap.c
same "lsco -cview there: only that view's checkouts" "/vobs/app/in_snap.c" \
    "$(cd "$scratch/snaproot" && cleartool lsco -avobs -cview -short)"
(cd "$scratch" && cleartool setcs "$cs" 2>"$scratch/err")
same "outside every view" "1|cleartool: Error: Unable to determine view for \"$(cd "$scratch" && pwd -P)\"." \
    "$?|$(cat "$scratch/err")"

finish
