#!/usr/bin/env bash
# Builds the desktop demo, shows its windows on a virtual X screen and saves a PNG of each window
# and state into build/screenshots/, for review by eye.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

packages=(xvfb xauth fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -qq || true
    apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi

[[ -f "$build/build.ninja" ]] || cmake -S "$top" -B "$build" -G Ninja
cmake --build "$build" --target vtcontrols_demo vtres

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
