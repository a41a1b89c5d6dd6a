#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), configures and builds.
# Usage: scripts/build.sh [BUILD_DIR [extra cmake options...]]   (default build/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shift || true

packages=(cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 libpq-dev postgresql
          libgtest-dev libgmock-dev libbenchmark-dev libfmt-dev nlohmann-json3-dev qt6-base-dev
          xvfb xauth)
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

cmake -S "$top" -B "$build" -G Ninja "$@"
cmake --build "$build"
