#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), configures and builds.
# Usage: scripts/build.sh [--target TARGET]... [BUILD_DIR [extra cmake options...]]
#   (default build/; without --target everything is built)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
targets=()
while [[ ${1:-} == --target ]]; do
    targets+=(--target "${2:?--target needs a name}")
    shift 2
done
build=${1:-$top/build}
shift || true

# libxkbcommon-dev: Qt's CMake package looks for it and reports when it is missing.
# man-db: the tests read the manual pages with man. fonts-dejavu-core: readable text in screenshots.
"$top/scripts/install-packages.sh" cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 \
    libpq-dev postgresql libgtest-dev libgmock-dev libbenchmark-dev libfmt-dev qt6-base-dev \
    libxkbcommon-dev xvfb xauth man-db fonts-dejavu-core

cmake -S "$top" -B "$build" -G Ninja "$@"
cmake --build "$build" "${targets[@]}"
