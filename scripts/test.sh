#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal build, then the sanitizer build,
# then each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
fuzz_failed=0

echo "== normal build"
bash scripts/build.sh build -DPV_WERROR=ON
(cd build && ctest --output-on-failure -j"$(nproc)") | tee build/ctest.log

echo "== sanitizer build"
bash scripts/build.sh build-asan -DPV_WERROR=ON -DPV_SANITIZE=ON -DPV_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$(nproc)") | tee build-asan/ctest.log

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== fuzz targets"
  bash scripts/build.sh build-fuzz -DPV_FUZZ=ON -DPV_BENCH=OFF \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  for f in build-fuzz/fuzz/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] || continue
    echo "-- $(basename "$f")"
    # A target may bring its own dictionary (fuzz_x.dict) and seeds (fuzz_x.seeds/).
    extra=()
    [ -f "$f.dict" ] && extra+=(-dict="$f.dict")
    if [ -d "$f.seeds" ]; then
      corpus="build-fuzz/$(basename "$f").corpus"
      mkdir -p "$corpus"
      extra+=("$corpus" "$f.seeds")
    fi
    if ! "$f" -max_total_time=20 -rss_limit_mb=2048 "${extra[@]}" >"build-fuzz/$(basename "$f").log" 2>&1; then
      echo "fuzz target $(basename "$f") failed:"; tail -n 30 "build-fuzz/$(basename "$f").log"
      fuzz_failed=$((fuzz_failed + 1))
    fi
  done
fi

# One closing line over both test runs.
total() { grep -Eo "tests passed, [0-9]+ tests failed out of [0-9]+" "$1" | awk '{f=$3; n=$NF} END {print n-f, f}'; }
read -r p1 f1 < <(total build/ctest.log)
read -r p2 f2 < <(total build-asan/ctest.log)
echo "suite: $((p1 + p2)) passed, $((f1 + f2 + fuzz_failed)) failed"
[ $((f1 + f2 + fuzz_failed)) -eq 0 ]
