#!/usr/bin/env bash
# Builds everything in a debug build with address and undefined-behaviour
# sanitizers and runs every test through CTest; builds everything again in
# release mode (both builds treat warnings as errors); then runs each fuzz
# target for a short fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=${KIRMEL_JOBS:-$(nproc)}

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIRMEL_SANITIZE=ON -DKIRMEL_WERROR=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

cmake -S . -B build/ci-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_WERROR=ON
cmake --build build/ci-release -j "$jobs"

# Fuzz targets: clang with libFuzzer, a short run each; a crash fails the script.
if compgen -G "fuzz/*.cpp" >/dev/null; then
  CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKIRMEL_FUZZ=ON -DKIRMEL_TESTS=OFF -DKIRMEL_GUI=OFF
  cmake --build build/fuzz -j "$jobs"
  for t in build/fuzz/fuzz/fuzz_*; do
    [ -x "$t" ] || continue
    name=$(basename "$t")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="fuzz/corpus/${name#fuzz_}"
    args=("$corpus")
    [ -d "$seeds" ] && args+=("$seeds")
    echo "== fuzzing $name for ${KIRMEL_FUZZ_SECONDS:-30} s"
    "$t" -max_total_time="${KIRMEL_FUZZ_SECONDS:-30}" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=0 "${args[@]}" 2>&1 | tail -n 3
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz target $name failed"; exit 1; }
  done
fi
