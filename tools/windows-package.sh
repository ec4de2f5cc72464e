#!/bin/sh
# Packs the Windows build: a folder with quillon.exe, the Qt DLLs and
# plugins it loads, the MinGW runtime DLLs, the help, the demo site and the
# simulator (nothing else to install), then its zip and the NSIS installer
# (packaging/windows/quillon.nsi). Prints the two files' paths.
# Usage: tools/windows-package.sh BUILD_DIR QT_DIR VERSION
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd) qt=$2 version=$3
name=quillon-$version-windows-x86_64
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage"

cp "$build/quillon.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/quillon.exe"
for m in Core Gui Widgets Network Svg; do
    cp "$qt/bin/Qt6$m.dll" "$stage/"
done
# Plugins where Qt looks first: beside the program.
for p in platforms/qwindows.dll styles/qwindowsvistastyle.dll iconengines/qsvgicon.dll \
    imageformats/qsvg.dll imageformats/qico.dll imageformats/qgif.dll imageformats/qjpeg.dll; do
    mkdir -p "$stage/$(dirname "$p")"
    cp "$qt/plugins/$p" "$stage/$p"
done
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)" "$stage/"
done
mkdir -p "$stage/help"
cp "$top/docs/help/"* "$stage/help/"

# The demo site: the configuration files (Kestrel as kestrel.cmd, the SSH
# client as plink.exe, which the demo does not bring: the user puts it in
# the share's tools\ssh folder), the share, the region and the simulator;
# demo.cmd starts Quillon on it.
demo=$stage/demo
mkdir -p "$demo/program" "$demo/share" "$demo/region" "$demo/bin"
for f in qn.cfg qn_nt.cfg; do
    sed -e 's/\r$//' -e 's/^KESTREL=kestrel$/KESTREL=kestrel.cmd/' -e 's/^SSH_CMD=plink$/SSH_CMD=plink.exe/' -e 's/$/\r/' \
        "$top/demo/$f" >"$demo/program/$f"
done
cp -R "$top/demo/share/." "$demo/share/"
cp "$top/demo/windows/kestrel.cmd" "$demo/share/ccstorage/utils/kestrel/kestrel.cmd"
cp "$top/demo/region/"* "$demo/region/"
cp "$build/cleartool-sim.exe" "$demo/bin/cleartool.exe"
x86_64-w64-mingw32-strip "$demo/bin/cleartool.exe"
sed 's/$/\r/' "$top/demo/windows/demo.cmd" >"$stage/demo.cmd"
sed -i 's/$/\r/' "$demo/share/ccstorage/utils/kestrel/kestrel.cmd"

# The zip: one folder, as it unpacks.
zip_file=$build/$name.zip
rm -f "$zip_file"
(cd "$build/package" && zip -q -r "$zip_file" "$name")

# The installer. Its uninstaller removes exactly the files it installed.
list=$build/package/files.nsh
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g' | sort | sed 's|^|  Delete "$INSTDIR\\|; s|$|"|'
 cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g' | sort -r | sed 's|^|  RMDir "$INSTDIR\\|; s|$|"|') >"$list"
setup=$build/quillon-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" -DFILELIST="$list" \
    "$top/packaging/windows/quillon.nsi" >&2
echo "$zip_file"
echo "$setup"
