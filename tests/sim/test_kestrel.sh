#!/bin/sh
# The Kestrel stand-in: views from templates, the output file, its settings.
. "$(dirname "$0")/lib.sh"

# A copy of the stand-in in a folder of its own, as a site installs it.
kdir=$scratch/kestrel_home
cfg=$scratch/config/r6000
mkdir -p "$kdir" "$cfg"
cp "$simbin/kestrel" "$kdir/kestrel"
KESTREL_CLEARTOOL=$simbin/cleartool
KESTREL_STORAGE=/ccstg/views
KESTREL_VIEW_HOST=vobhost
export KESTREL_CLEARTOOL KESTREL_STORAGE KESTREL_VIEW_HOST

printf '#Kestrel_Description: Development\nelement * CHECKEDOUT\nelement * .../r6000_dev/LATEST\n' >"$cfg/dev"
printf '#Kestrel_Description: Hotfix\n#Kestrel_Snapdir: c:\\views\nelement * CHECKEDOUT\nload /vobs/r6000\n' \
    >"$cfg/snap_hotfix"
printf '#Kestrel_UCMVob: \\portal_pvob\n#Kestrel_UCMNewStream: portal_dev_jdoe \nelement * CHECKEDOUT\n' >"$cfg/portal"
printf '#Kestrel_Description: Windows ends\r\nelement * CHECKEDOUT\r\nelement * /main/LATEST\r\n' >"$cfg/crlf"
printf '#Kestrel_Description: Old Mac ends\relement * CHECKEDOUT\relement * /main/LATEST\r' >"$cfg/cr"

out=$kdir/_work/jdoe.out
kestrel() { "$kdir/kestrel" "$@" >"$scratch/log" 2>&1; }

# --- a dynamic view, with -user --------------------------------------------
kestrel -user jdoe -tag jdoe__dev -cfg "$cfg"
same "the output file's last line is the tag" "jdoe__dev" "$(tail -1 "$out")"
same "the output file is readable by others" "644" "$(stat -c %a "$out")"
ct lsview -long jdoe__dev
same "a dynamic view under the storage folder, on the configured host" \
    "0|  Global path: /ccstg/views/jdoe__dev.vws|  Server host: vobhost|0" \
    "$rc|$(sed -n 2p "$scratch/out")|$(sed -n 3p "$scratch/out")|$(grep -c 'View attributes' "$scratch/out")"
same "the config spec is the template without its #Kestrel_ lines" \
    "element * CHECKEDOUT;element * .../r6000_dev/LATEST;" "$(cleartool catcs -tag jdoe__dev | tr '\n' ';')"

# --- snapshot and UCM templates; -cs_noedit -------------------------------------
kestrel -user jdoe -tag jdoe__snap_hotfix -cs_noedit -cfg "$cfg"
same "a snapshot template, with -cs_noedit" "jdoe__snap_hotfix|View attributes: snapshot" \
    "$(tail -1 "$out")|$(cleartool lsview -long jdoe__snap_hotfix | grep '^View attributes')"
same "its load rule" "element * CHECKEDOUT;load /vobs/r6000;" "$(cleartool catcs -tag jdoe__snap_hotfix | tr '\n' ';')"
kestrel -user jdoe -tag jdoe__portal -cfg "$cfg"
same "a UCM template" "jdoe__portal|View attributes: ucmview|1" \
    "$(tail -1 "$out")|$(cleartool lsview -long jdoe__portal | grep '^View attributes')|$(grep -c 'Attached view to stream "portal_dev_jdoe"' "$out")"

# --- line ends ---------------------------------------------------------------------
kestrel -tag jdoe__crlf -cfg "$cfg"
same "a CR LF template" "element * CHECKEDOUT;element * /main/LATEST;" "$(cleartool catcs -tag jdoe__crlf | tr '\n' ';')"
kestrel -tag jdoe__cr -cfg "$cfg"
same "a CR template" "element * CHECKEDOUT;element * /main/LATEST;" "$(cleartool catcs -tag jdoe__cr | tr '\n' ';')"

# --- failures --------------------------------------------------------------------------
kestrel -user jdoe -tag jdoe__nosuch -cfg "$cfg"
same "a missing template gives FAILED" "FAILED|1" "$(tail -1 "$out")|$(cleartool lsview -short jdoe__nosuch 2>&1 | grep -c Error)"
kestrel -user jdoe -tag jdoe__dev -cfg "$cfg"
same "an existing tag gives FAILED" "FAILED" "$(tail -1 "$out")"
CCSIM_FAIL=setcs kestrel -user asmith -tag asmith__dev -cfg "$cfg"
same "a failing cleartool gives FAILED, in the user's own file" "FAILED" "$(tail -1 "$kdir/_work/asmith.out")"

# --- without -user no output file -----------------------------------------------------
rm -rf "$kdir/_work"
kestrel -tag bwong__dev -cfg "$cfg"
same "no -user, no output file, still a view" "no|bwong__dev" \
    "$(test -e "$kdir/_work" && echo yes || echo no)|$(cleartool lsview -short bwong__dev)"

# --- an empty environment: the settings come from kestrel.conf -----------------------
cat >"$kdir/kestrel.conf" <<EOF
KESTREL_CLEARTOOL=$simbin/cleartool
CCSIM_HOME=$CCSIM_HOME
CCSIM_REGION=ccase_unix
KESTREL_STORAGE=/net/vobhost/ccstg/views
KESTREL_VIEW_HOST=vobhost
EOF
env -i "$kdir/kestrel" -user cdiaz -tag cdiaz__dev -cfg "$cfg" >"$scratch/log" 2>&1
same "run with env -i" "cdiaz__dev" "$(tail -1 "$kdir/_work/cdiaz.out")"
ct lsview -short -region ccase_unix cdiaz__dev
same "the view is in the conf file's region" "0|cdiaz__dev" "$rc|$(cat "$scratch/out")"
same "the _work folder is open to other accounts" "1777" "$(stat -c %a "$kdir/_work")"
# Quillon then tags the view for Windows by its storage name.
ct mktag -view -tag cdiaz__dev -host vobhost -gpath '\\vobhost\ccstg\views\cdiaz__dev.vws' '\\vobhost\ccstg\views\cdiaz__dev.vws'
same "the Windows tag finds the view by storage name" 0 "$rc"

finish
