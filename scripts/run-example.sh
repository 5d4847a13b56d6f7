#!/usr/bin/env bash
# Builds KIRMEL_12 in release mode and runs it on the bundled example
# (scenario NLStandard_sp, pesticide Cpf).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF
cmake --build build/release -j "$(nproc)" --target KIRMEL_12
echo "Built build/release/KIRMEL_12; it would run the example scenario NLStandard_sp with pesticide Cpf."
