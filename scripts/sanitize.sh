#!/usr/bin/env bash
# Runs every test of the checked build (scripts/checked-build.sh): any finding of the address,
# leak or undefined-behaviour sanitizer fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/checked-build.sh
source scripts/sanitizer-options.sh
cd build-sanitize
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
