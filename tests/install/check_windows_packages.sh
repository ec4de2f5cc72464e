#!/bin/sh
# The Windows zip and installer of a Windows build, under Wine: the unzipped
# program starts with nothing but what the zip holds; the installer, run
# silently, installs for this user (program, Start-menu entry, uninstaller
# in Apps & features), the installed program starts, and the silent
# uninstaller leaves nothing behind. Skipped (77) when tools/windows.sh has
# not made the two files yet.
# Usage: check_windows_packages.sh BUILD_DIR VERSION
set -u
build=$1 version=$2
. "$(dirname "$0")/lib.sh"
zip_file=$build/quillon-$version-windows-x86_64.zip
setup=$build/quillon-$version-setup.exe
if [ ! -f "$zip_file" ] || [ ! -f "$setup" ]; then
    echo "SKIP: no zip and installer in $build: tools/windows.sh makes them"
    exit 77
fi
export WINEDEBUG=-all
unset WINEPATH # the program must find its DLLs beside itself
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon'

# The zip: one folder; the program, the simulator and the demo start.
unzip -q "$zip_file" -d "$scratch/zip"
dir=$scratch/zip/quillon-$version-windows-x86_64
out=$(wine "$dir/quillon.exe" --version 2>&1 | tr -d '\r')
[ "$out" = "Quillon $version" ] || fail "the unzipped quillon.exe --version printed: $out"
for f in demo.cmd help/index.html platforms/qwindows.dll styles/qwindowsvistastyle.dll \
    demo/program/qn.cfg demo/share/ccstorage/utils/kestrel/kestrel.cmd; do
    [ -f "$dir/$f" ] || fail "the zip has no $f"
done
# The demo's configuration names the Windows Kestrel and SSH client, with one CR LF a line.
tr -d '\r' <"$dir/demo/program/qn.cfg" | grep -q '^KESTREL=kestrel.cmd$' || fail "the demo names no kestrel.cmd"
tr -d '\r' <"$dir/demo/program/qn.cfg" | grep -q '^SSH_CMD=plink.exe$' || fail "the demo names no plink.exe"
grep -q "$(printf '\r\r')" "$dir/demo/program/qn.cfg" && fail "the demo's qn.cfg has doubled line ends"
wine "$dir/demo/bin/cleartool.exe" -sim-help 2>&1 | grep -q "stand-in for cleartool" ||
    fail "the zip's simulator does not start"

# The installer, silent: where it installs is what it registers.
wine "$setup" /S || fail "the silent installer failed"
location=$(wine reg query "$key" /v InstallLocation 2>/dev/null | tr -d '\r' |
    sed -n 's/.*InstallLocation[[:space:]]*REG_SZ[[:space:]]*//p')
[ -n "$location" ] || fail "no uninstaller registered under $key"
case $location in
*'\AppData\Local\Programs\Quillon') ;;
*) fail "not installed for this user: $location" ;;
esac
installed=$(winepath -u "$location" 2>/dev/null)
menu=$(winepath -u "$(wine cmd /c echo '%APPDATA%' | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs/Quillon.lnk
[ -f "$menu" ] || fail "no Start-menu entry: $menu"
out=$(wine "$installed/quillon.exe" --version 2>&1 | tr -d '\r')
[ "$out" = "Quillon $version" ] || fail "the installed quillon.exe --version printed: $out"
uninstall=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ[[:space:]]*//p')
[ "$uninstall" = "\"$location\\uninstall.exe\" /S" ] || fail "the quiet uninstall command is: $uninstall"

# The uninstaller runs a copy of itself and returns at once: wait for it.
wine "$installed/uninstall.exe" /S || fail "the silent uninstaller failed"
i=0
while [ -e "$installed" ] && [ $i -lt 60 ]; do
    sleep 0.5
    i=$((i + 1))
done
[ -e "$installed" ] && fail "left behind: $(cd "$installed" && find . | head -5)"
[ -e "$menu" ] && fail "the Start-menu entry is left behind"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstaller is still registered"
[ $failed -eq 0 ] && echo "PASS: zip, silent install, start, silent uninstall"
exit $failed
