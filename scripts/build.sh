#!/usr/bin/env bash
# Configures build/ and builds the program, its engine plug-ins and the tests, or only the
# targets named: `scripts/build.sh QuorTagEditor`. Benchmarks are built when build/ is
# configured with -DQUOR_BENCHMARKS=ON (README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j "$(nproc)" "${targets[@]}"
