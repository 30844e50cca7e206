#!/usr/bin/env bash
# Configures and builds everything (program, engine plug-in, tests, benchmarks) in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
