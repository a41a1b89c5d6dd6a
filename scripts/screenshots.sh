#!/usr/bin/env bash
# Builds (scripts/build.sh), then saves a PNG of each window and state of the desktop program into
# build/screenshots/, for review by eye: the controls demo on a virtual X screen, and the shell's
# windows (splash, main window with its Tools menu open, tools list and editor, script viewer,
# about box) and the script execution window with its login dialog, grabbed by their screenshot
# tools.
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

# The controls, the error dialog and the window settings store.
controls_demo() {
    # A private settings folder: the demo never touches the user's own settings.
    VT_CONFIG_DIR="$runtime/config" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
        VT_PROGRAM_BIN="$build/bin" \
        xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        "$build/tools/vtcontrols_demo" "$out"
}

# The shell's windows; the tool makes its own settings folder with sample tools.
shell_windows() {
    XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
        "$build/tools/vtdesk_screenshots" "$build/bin" "$out"
}

# The script execution window in a run through the fake plug-in, and the login dialog.
exec_windows() {
    XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
        "$build/tools/vtexecsql_screenshots" "$build/bin" "$out" "$build/tests/vtfakeplugin.so"
}

controls_demo
shell_windows
exec_windows
echo "Screenshots in $out"
