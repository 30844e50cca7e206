#!/usr/bin/env bash
# Configures and builds the checked build in build-sanitize/: clang, every target of ours with
# the address and undefined-behaviour sanitizers, and the libFuzzer targets of fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh checked
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
      -DQUOR_FUZZ=ON "${launcher[@]}"
cmake --build build-sanitize -j "$(nproc)"
