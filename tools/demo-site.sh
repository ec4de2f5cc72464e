#!/bin/sh
# Lays out a fresh demo site in a scratch folder and prints the environment
# that points Quillon at it (sh assignments, for eval):
#   - the program folder with the demo's two configuration files,
#   - the vobhost share (projects, templates, the Kestrel stand-in, the SSH
#     client) under a UNC root,
#   - a ClearCase registry for the simulator, seeded with the demo region.
# Usage: eval "$(tools/demo-site.sh BUILD_DIR [SCRATCH_DIR])"
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build dir}
scratch=${2:-${TMPDIR:-/tmp}/quillon-demo}
# The simulator's folder, as the build wrote it down.
. "$build/quillon-programs.sh"
simbin=$QUILLON_SIM_BIN_DIR

rm -rf "$scratch"
mkdir -p "$scratch/program" "$scratch/unc/vobhost" "$scratch/ccsim"
cp "$top/demo/qn.cfg" "$top/demo/qn_nt.cfg" "$scratch/program/"

# The vobhost share: the Kestrel tree and the SSH client.
share="$scratch/unc/vobhost"
cp -R "$top/demo/share/." "$share/"
mkdir -p "$share/tools/ssh" "$share/ccstg/views" "$share/ccstorage/utils/kestrel/_work"
ln -sf "$(command -v plink || echo /usr/bin/plink)" "$share/tools/ssh/plink"
kestrel_home="$share/ccstorage/utils/kestrel"
cp "$simbin/kestrel" "$kestrel_home/kestrel"
chmod 755 "$kestrel_home/kestrel"
cat > "$kestrel_home/kestrel.conf" <<CONF
CLEARTOOL=$simbin/cleartool
CCSIM_HOME=$scratch/ccsim
CCSIM_REGION=Windows
KESTREL_STORAGE=$share/ccstg/views
KESTREL_HOST=vobhost
CONF

# The demo region.
CCSIM_HOME="$scratch/ccsim" "$simbin/cleartool" -sim-import "$top/demo/region/views.txt" >/dev/null

cat <<ENV
QUILLON_DEMO_DIR='$scratch'
QUILLON_PROGRAM_DIR='$scratch/program'
QUILLON_UNC_ROOT='$scratch/unc'
CCSIM_HOME='$scratch/ccsim'
PATH='$simbin':"\$PATH"
USER=jdoe
CLEARCASE_PRIMARY_GROUP=r6000
export QUILLON_DEMO_DIR QUILLON_PROGRAM_DIR QUILLON_UNC_ROOT CCSIM_HOME PATH USER CLEARCASE_PRIMARY_GROUP
ENV
