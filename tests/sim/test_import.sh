#!/bin/sh
# Bulk loading: a region of 100,000 tags, wrong import files, the demo region.
. "$(dirname "$0")/lib.sh"

awk 'BEGIN { for (i = 0; i < 100000; i++)
    printf "Big|user%d__v%d|\\\\vobhost\\views\\user%d__v%d.vws|vobhost|%s|DOM\\user%d\n",
        i % 700, i, i % 700, i, (i % 2 ? "active" : "snapshot"), i % 700 }' >"$scratch/big.txt"
ct -sim-import "$scratch/big.txt"
same "100,000 tags imported" "0|Imported 100000 view tags." "$rc|$(cat "$scratch/out")"
cleartool lsview -short -region Big >"$scratch/out"
same "listed in order" "100000|user0__v0|user599__v99999" \
    "$(wc -l <"$scratch/out" | tr -d ' ')|$(head -1 "$scratch/out")|$(tail -1 "$scratch/out")"
same "the default format lists them all" 50000 "$(cleartool lsview -region Big | grep -c '^\*')"
same "one tag among them" '* user599__v99999      \\vobhost\views\user599__v99999.vws' \
    "$(cleartool lsview -region Big user599__v99999)"

# Changes keep the imported views.
CCSIM_REGION=Big cleartool mkview -tag extra /stg/extra.vws >/dev/null
CCSIM_REGION=Big cleartool endview user1__v1
same "after changes" "100001|  user1__v1" \
    "$(cleartool lsview -short -region Big | wc -l | tr -d ' ')|$(cleartool lsview -region Big user1__v1 | cut -c1-11)"

# A wrong file imports nothing and names the line.
printf 'Windows|good|\\\\h\\v\\good.vws|h|-|jdoe\nWindows|bad|\\\\h\\v\\bad.vws|h|wobbly|jdoe\n' >"$scratch/bad.txt"
ct -sim-import "$scratch/bad.txt"
same "a wrong flag" "1|1" "$rc|$(grep -c 'bad.txt:2: unknown flag' "$scratch/err")"
ct lsview -short good
same "nothing of the wrong file was imported" 1 "$rc"
printf 'Big|extra|\\\\h\\v\\x.vws|h|-|jdoe\n' >"$scratch/dup.txt"
ct -sim-import "$scratch/dup.txt"
same "an existing tag" "1|1" "$rc|$(grep -c 'dup.txt:1: the tag "extra" already exists' "$scratch/err")"
printf 'Windows|t|\\\\h\\v\\t.vws\n' >"$scratch/short.txt"
ct -sim-import "$scratch/short.txt"
same "too few fields" 1 "$rc"
printf 'Windows|t2|/x/unknown.vws|h|tag|jdoe\n' >"$scratch/link.txt"
ct -sim-import "$scratch/link.txt"
same "a tag line without its view" 1 "$rc"

# The demo region loads with its config specs, and its cross-region tags name
# the same views.
CCSIM_HOME=$scratch/demo
ct -sim-import "$QUILLON_SOURCE_DIR/demo/region/views.txt"
same "the demo region loads" 0 "$rc"
same "regions" "Windows ccase_unix" "$(echo $(cleartool lsregion))"
same "a snapshot view's load rules" 1 "$(cleartool catcs -tag jdoe__snap_hotfix | grep -c '^load /vobs/r6000/src$')"
same "one view, two regions" "$(cleartool lsview -l jdoe__dev | grep '^View uuid')" \
    "$(cleartool lsview -l -region ccase_unix jdoe__dev | grep '^View uuid')"
same "the demo user has dynamic, snapshot and UCM views" "3|3" \
    "$(cleartool lsview -l | grep -A10 '^Tag: jdoe' | grep -c '^View attributes')|$(cleartool lsview | grep -c '^\* jdoe')"

finish
