#!/usr/bin/env bash
# Builds the Debian package of a build tree with CPack (dependencies found by dpkg-shlibdeps) and
# checks it with lintian: any lintian error fails. Installs dpkg-dev and lintian when missing.
# Usage: scripts/package.sh [BUILD_DIR [OUTPUT_DIR]]   (default build/ and BUILD_DIR/package)
# The last line printed is the package's path.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=${2:-$build/package}

"$top/scripts/install-packages.sh" dpkg-dev lintian
if [[ ! -f $build/CPackConfig.cmake ]]; then
    "$top/scripts/build.sh" "$build"
fi
if grep -q '^VT_SANITIZE:BOOL=ON$' "$build/CMakeCache.txt"; then
    echo "$build is a sanitizer build; package a normal build instead" >&2
    exit 1
fi
cmake --build "$build"

mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log" >&2; exit 1; }
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$out/cpack.log" | tail -n 1)
[[ -n $deb && -f $deb ]] || { cat "$out/cpack.log" >&2; echo "no package was made" >&2; exit 1; }

echo "== lintian $(basename "$deb") =="
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "$deb"
