#!/usr/bin/env bash
# Builds (scripts/build.sh), then shows the desktop demo's windows on a virtual X screen and
# saves a PNG of each window and state into build/screenshots/, for review by eye.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

"$top/scripts/build.sh" "$build"

out="$build/screenshots"
rm -rf "$out"
mkdir -p "$out"
runtime=$(mktemp -d /tmp/vtxdg.XXXXXX)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
# A private settings folder: the demo never touches the user's own settings.
VT_CONFIG_DIR="$runtime/config" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
    VT_PROGRAM_BIN="$build/bin" \
    xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    "$build/tools/vtcontrols_demo" "$out"
echo "Screenshots in $out"
