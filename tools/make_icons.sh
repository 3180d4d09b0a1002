#!/usr/bin/env bash
# Renders the program's icon at the sizes the desktop asks for (needs rsvg-convert, Debian
# librsvg2-bin). The PNGs are committed; run this after changing assets/icons/korvane.svg.
set -euo pipefail
cd "$(dirname "$0")/../assets/icons"
if ! command -v rsvg-convert >/dev/null; then
    echo "make_icons.sh: rsvg-convert not found; install it with: apt-get install librsvg2-bin" >&2
    exit 2
fi
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" korvane.svg -o "korvane-$size.png"
done
