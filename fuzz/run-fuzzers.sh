#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the sanitizers in build-fuzz, then runs each
# one for a bounded time on a copy of its seed corpus (the corpus in the repository is not
# changed). Exits non-zero when a target crashes; the crashing input is kept in
# build-fuzz/fuzz-artifacts. Installs nothing.
#   FUZZ_SECONDS  time per target (default 60)
#   BUILD_DIR     build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=(fuzz_import_text fuzz_import_sds fuzz_load_sqz fuzz_meter)

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DPLANORA_FUZZ=ON -DPLANORA_BENCH=OFF
cmake --build "$build" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
# Every input goes through a file: a memory-backed folder keeps the runs fast.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
for t in "${targets[@]}"; do
  cp -r "fuzz/corpus/$t" "$work/$t"
  echo "=== $t: ${seconds} s"
  if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
       -print_final_stats=1 -artifact_prefix="$artifacts/$t-" "$work/$t"; then
    echo "*** $t failed; the input is in $artifacts/"
    status=1
  fi
done
exit $status
