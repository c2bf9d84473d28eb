#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal build, then the sanitizer build,
# then each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== normal build"
bash scripts/build.sh build -DPV_WERROR=ON
(cd build && ctest --output-on-failure -j"$(nproc)")

echo "== sanitizer build"
bash scripts/build.sh build-asan -DPV_WERROR=ON -DPV_SANITIZE=ON -DPV_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$(nproc)")

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== fuzz targets"
  bash scripts/build.sh build-fuzz -DPV_FUZZ=ON -DPV_BENCH=OFF \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  for f in build-fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    echo "-- $(basename "$f")"
    "$f" -max_total_time=20 -rss_limit_mb=2048 -print_final_stats=0 2>&1 | tail -n 2
  done
fi
