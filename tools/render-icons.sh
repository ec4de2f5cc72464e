#!/bin/sh
# Renders the program's icon (src/ui/resources/images/quillon.svg) into the
# PNG sizes the desktop's icon theme asks for, under data/icons/<size>/.
# Run it after the drawing changes and commit the PNGs: the build and the
# package take them as they are, so that they need no SVG renderer.
# Needs rsvg-convert (librsvg2-bin).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
svg=$top/src/ui/resources/images/quillon.svg
id=example.quillon_works.quillon
command -v rsvg-convert >/dev/null || {
    echo "render-icons: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
    exit 1
}
for size in 16 22 24 32 48 64 128 256; do
    out=$top/data/icons/${size}x${size}/$id.png
    mkdir -p "$(dirname "$out")"
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio --format png \
        --output "$out" "$svg"
    echo "$out"
done
