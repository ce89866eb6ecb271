#!/usr/bin/env bash
# Renders the artwork's SVG sources to the PNG sizes the programs carry, into
# png/. The PNGs are committed: building the programs needs no renderer. Run
# this after changing an SVG (needs rsvg-convert from Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "render.sh needs rsvg-convert (apt-get install librsvg2-bin)" >&2; exit 1; }

# source (without .svg)    sizes in pixels (square)
TABLE="
hashmere/logo                  128
hashmere/icon                  16 24 32 48 64 128 256
hashmere/menu-open             16
hashmere/menu-quit             16
hashmere/menu-help             16
hashmere/menu-about            16
hashmere/menu-website          16
hashmere/request-information   64
hashmere/request-warning       64
hashmere/request-question      64
leafscope/logo                 128
leafscope/icon                 16 24 32 48 64 128 256
leafscope/toolbar-about        32
leafscope/toolbar-properties   32
leafscope/toolbar-print        32
leafscope/toolbar-home         32
leafscope/toolbar-previous     32
leafscope/toolbar-next         32
leafscope/toolbar-zoom-out     32
leafscope/toolbar-zoom-in      32
"

rm -rf png
while read -r source sizes; do
    [ -n "$source" ] || continue
    mkdir -p "png/$(dirname "$source")"
    set -- $sizes
    for size in "$@"; do
        out="png/$source.png"
        # Icons come in several sizes; everything else in exactly one.
        [ $# -gt 1 ] && out="png/$source-$size.png"
        rsvg-convert --width "$size" --height "$size" --format png "$source.svg" --output "$out"
    done
done <<<"$TABLE"
echo "rendered $(find png -name '*.png' | wc -l) images"
