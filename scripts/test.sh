#!/usr/bin/env bash
# Builds, starts a throwaway PostgreSQL server, runs every test, then runs the tests that need no
# window again under AddressSanitizer and UndefinedBehaviorSanitizer. Non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/build.sh "$top/build"
scripts/build.sh "$top/build-asan" -DVT_SANITIZE=ON -DVT_WITH_QT=OFF -DVT_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0

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
