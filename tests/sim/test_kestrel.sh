#!/bin/sh
# The Kestrel stand-in: views from templates, the output file, its settings.
. "$(dirname "$0")/lib.sh"

kdir=$scratch/kestrel_home
cfg=$scratch/config/r6000
mkdir -p "$kdir" "$cfg"
cp "$simbin/kestrel" "$kdir/kestrel"
KESTREL_CLEARTOOL=$simbin/cleartool
KESTREL_STORAGE=/ccstg/views
KESTREL_VIEW_HOST=vobhost
export KESTREL_CLEARTOOL KESTREL_STORAGE KESTREL_VIEW_HOST
printf '#Kestrel_Description: Development\r\nelement * CHECKEDOUT\r\nelement /vobs/app/... .../dev/LATEST\r\nelement * /main/LATEST -mkbranch dev\r\n' >"$cfg/dev"
printf 'element /vobs/nosuch/... /main/LATEST\n' >"$cfg/stray"
printf '#Kestrel_Snapdir: c:\\views\nelement * CHECKEDOUT\nload /vobs/r6000\n' >"$cfg/snap_hotfix"
printf '#Kestrel_UCMVob: \\portal_pvob\n#Kestrel_UCMNewStream: portal_dev_jdoe \nelement * CHECKEDOUT\n' >"$cfg/portal"

out=$kdir/_work/jdoe.out
kestrel() { "$kdir/kestrel" -user jdoe "$@" -cfg "$cfg" >"$scratch/log" 2>&1; }
# made TAG: the output file's last line, the view's attributes, its rules.
made() {
    echo "$(tail -1 "$out")|$(cleartool lsview -long "$1" | grep '^View attributes')|$(cleartool catcs -tag "$1" | tr '\n' ';')"
}

kestrel -tag jdoe__dev
same "a dynamic view of a CR LF template, without its #Kestrel_ lines, in the storage folder on the host" \
    "jdoe__dev||element * CHECKEDOUT;element /vobs/app/... .../dev/LATEST;element * /main/LATEST -mkbranch dev;|  Global path: /ccstg/views/jdoe__dev.vws|  Server host: vobhost" \
    "$(made jdoe__dev)|$(cleartool lsview -long jdoe__dev | sed -n '2p;3p' | paste -sd'|')"
kestrel -tag jdoe__snap_hotfix -cs_noedit
same "a snapshot template, with -cs_noedit: set inside the view's root; the storage in the storage folder" \
    "jdoe__snap_hotfix|View attributes: snapshot|element * CHECKEDOUT;load /vobs/r6000;|View server access path: /ccstg/views/jdoe__snap_hotfix.vws" \
    "$(made jdoe__snap_hotfix)|$(cleartool lsview -long jdoe__snap_hotfix | grep 'access path')"
kestrel -tag jdoe__stray
same "a rule naming an unknown VOB: FAILED, setcs's error logged" "FAILED|1" \
    "$(tail -1 "$out")|$(grep -c 'No registered VOB tag in path: "/vobs/nosuch/..."' "$out")"
kestrel -tag jdoe__portal
same "a UCM template" "jdoe__portal|View attributes: ucmview|element * CHECKEDOUT;|1" \
    "$(made jdoe__portal)|$(grep -c 'Attached view to stream "portal_dev_jdoe"' "$out")"
kestrel -tag jdoe__nosuch
same "a missing template gives FAILED and no view" "FAILED|1" \
    "$(tail -1 "$out")|$(cleartool lsview -short jdoe__nosuch 2>&1 | grep -c Error)"
kestrel -tag jdoe__dev
same "an existing tag gives FAILED" "FAILED" "$(tail -1 "$out")"

cat >"$kdir/kestrel.conf" <<EOF
KESTREL_CLEARTOOL=$simbin/cleartool
CCSIM_HOME=$CCSIM_HOME
CCSIM_REGION=ccase_unix
KESTREL_STORAGE=/net/vobhost/ccstg/views
KESTREL_VIEW_HOST=vobhost
EOF
env -i "$kdir/kestrel" -user cdiaz -tag cdiaz__dev -cfg "$cfg" >"$scratch/log" 2>&1
same "run with env -i: settings from kestrel.conf; _work open to all" "cdiaz__dev|cdiaz__dev|1777" \
    "$(tail -1 "$kdir/_work/cdiaz.out")|$(cleartool lsview -short -region ccase_unix cdiaz__dev)|$(stat -c %a "$kdir/_work")"

finish
