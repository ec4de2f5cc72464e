#!/bin/sh
# The layers of src/ in their order; a file of one layer includes only headers
# of its own layer and of layers before it, and only the windows include the
# forms' generated headers (ui_*.h) or Qt's widget headers.
# Usage: check_layers.sh SOURCE_DIR
set -u
src=${1:?source dir}/src
layers="base clearcase site kestrel ui app"
failed=0
position() {
    n=0
    for l in $layers; do
        [ "$l" = "$1" ] && { echo $n; return; }
        n=$((n + 1))
    done
    echo 99
}
for layer in $layers; do
    mine=$(position "$layer")
    for file in "$src/$layer"/*.h "$src/$layer"/*.cpp; do
        [ -f "$file" ] || continue
        grep -o '#include "[a-z]*/' "$file" | sed 's/#include "//; s/\///' | sort -u | while read -r used; do
            if [ "$(position "$used")" -gt "$mine" ]; then
                echo "layer $layer reaches up: $file includes a header of $used"
                exit 1
            fi
        done || failed=1
        if [ "$(position "$layer")" -lt "$(position ui)" ] &&
            grep -qE '#include ("ui_|<QWidget>|<QMessageBox>|<QApplication>|<QtWidgets)' "$file"; then
            echo "layer $layer uses the windows: $file"
            failed=1
        fi
    done
done
[ $failed -eq 0 ] && echo "every include points down or across"
exit $failed
