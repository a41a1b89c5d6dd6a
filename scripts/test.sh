#!/usr/bin/env bash
# Builds, starts a throwaway PostgreSQL server, runs every test, then runs the tests that need no
# window again under AddressSanitizer and UndefinedBehaviorSanitizer. Non-zero on any failure.
# The sanitizer tree is also the console-only build: configured as if Qt were not installed (no
# part of it may look for Qt, which leaves the switch that hides Qt unread).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/build.sh "$top/build"
scripts/build.sh "$top/build-asan" -DVT_SANITIZE=ON -DVT_DESKTOP=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON --no-warn-unused-cli -DVT_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0
# The package test builds the Debian package and checks it with lintian.
scripts/install-packages.sh dpkg-dev lintian

eval "$(scripts/pgserver.sh start)"
trap 'scripts/pgserver.sh stop "$VT_TEST_PGDIR"' EXIT

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$(mktemp -d /tmp/vtxdg.XXXXXX)
chmod 700 "$XDG_RUNTIME_DIR"
jobs=$(nproc)

status=0
echo "== tests =="
ctest --test-dir build --output-on-failure -j "$jobs" || status=1
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE nosanitize || status=1
exit $status
