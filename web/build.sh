#!/usr/bin/env bash
# Builds Korvane for the browser into OUTDIR (default build-web): index.html, its style and
# script, korvane.js and korvane.wasm, the icon; plain static files for any web server.
# A thin wrapper around the CMake preset "web" (emscripten's toolchain, CMakePresets.json),
# whose tree goes to OUTDIR.obj (only what changed is built again). Needs Debian's
# emscripten, CMake, Ninja and a host C++ compiler (for the sound synthesizer).
#   web/build.sh [OUTDIR]
# KORVANE_WEB_CMAKE_ARGS adds settings to the configure (for example
# -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); KORVANE_WEB_JOBS is how many compiles run at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-build-web}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if ! command -v emcc >/dev/null; then
    echo "web/build.sh: emcc not found; install Debian's emscripten package" >&2
    exit 1
fi
# emscripten's own JavaScript tools need Debian's node modules, whichever node runs them.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

(cd "$root" && cmake --preset web -B "$out.obj" -DKORVANE_PAGE_DIR="$out" \
    ${KORVANE_WEB_CMAKE_ARGS:-} >/dev/null)
cmake --build "$out.obj" --parallel "${KORVANE_WEB_JOBS:-2}"
echo "Built the browser version in $out (serve it with any static web server)"
