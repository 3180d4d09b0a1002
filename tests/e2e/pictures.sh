#!/bin/bash
# The README's pictures are the program's own: taken again here as tools/make_screenshots.sh
# takes them (a fixed-seed game, each picture at a fixed frame), each must match its
# docs/screenshot-*.png pixel for pixel. A change to what the windows show (a button's box,
# a caption, the viewscreen) fails it until the pictures are renewed.
#   pictures.sh KORVANE_SCREENSHOTS SOURCE_DIR
set -u
shots=$1
docs=$2/docs
scenario=pictures
source "$(dirname "$0")/xvfb_session.sh"

"$shots" "$work" >"$work/game.log" 2>&1 || fail "korvane-screenshots exited with $?"
taken=0
for picture in "$work"/screenshot-*.png; do
    name=$(basename "$picture")
    differ=$(compare -metric AE "$picture" "$docs/$name" null: 2>&1)
    [ "$differ" = 0 ] || fail "$name differs from docs/$name in $differ pixels; after an" \
        "intended change renew the pictures with tools/make_screenshots.sh"
    taken=$((taken + 1))
done
[ "$taken" -ge 3 ] || fail "only $taken pictures taken"
echo "PASS ($scenario)"
