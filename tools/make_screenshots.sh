#!/usr/bin/env bash
# Regenerates the README's pictures (docs/screenshot-*.png) from the real program in a real
# X window under Xvfb. Run after building: tools/make_screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target korvane-screenshots
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24" "./$build/korvane-screenshots" docs
