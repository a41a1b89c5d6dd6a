#!/usr/bin/env bash
# Builds the desktop program and saves a picture of each of its windows into build/screenshots/.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=$build/screenshots

[[ -f $build/build.ninja ]] || cmake -S "$top" -B "$build" -G Ninja
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/vtxdg.XXXXXX)}
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$out"

# The shell's windows: splash, main window with its Tools menu open, the tools list and editor,
# the script viewer and the about box.
shell_windows() {
    cmake --build "$build" --target vtdesk vtdesk_screenshots
    "$build/tools/vtdesk_screenshots" "$build/bin" "$out"
}

shell_windows
echo "Screenshots are in $out"
