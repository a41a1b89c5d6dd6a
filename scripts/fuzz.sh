#!/usr/bin/env bash
# Builds a fuzz target of the script format with clang (libFuzzer, AddressSanitizer) into its own
# folder and runs it for the given time. Not part of the test suite.
# Usage: scripts/fuzz.sh TARGET SECONDS [extra libFuzzer options...]
#   TARGET: inifile_fuzz | rsqlscript_fuzz
# Environment: VT_FUZZ_BUILD (build folder, default build-fuzz), VT_FUZZ_JOBS (build jobs, 2).
# The corpus grows in build-fuzz/corpus/TARGET; crashes land in fuzz-out/TARGET.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if (($# < 2)); then
    sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
target=$1
seconds=$2
shift 2
case $target in
    inifile_fuzz | rsqlscript_fuzz) ;;
    *) echo "Unknown fuzz target: $target" >&2; exit 2 ;;
esac
build=${VT_FUZZ_BUILD:-$top/build-fuzz}

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$top/fuzz" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target "$target" -j "${VT_FUZZ_JOBS:-2}"

corpus=$build/corpus/$target
artifacts=$top/fuzz-out/$target
mkdir -p "$corpus" "$artifacts"
cp -n "$top"/fuzz/seeds/* "$corpus"/ 2>/dev/null || true

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" "$corpus"
