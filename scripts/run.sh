#!/usr/bin/env bash
# Builds the editor and starts it with the built-in simulation engine.
# Arguments are passed on: `scripts/run.sh BRAKKA` starts the BRAKKA run mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh QuorTagEditor
exec build/QuorTagEditor "$@"
