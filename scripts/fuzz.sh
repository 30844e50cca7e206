#!/usr/bin/env bash
# Runs each fuzz target of the checked build for the given time in seconds (default 60), from
# its starting inputs in fuzz/corpus/<name>; inputs it finds new go to build-sanitize/fuzz-corpus/, an input that
# breaks a target to build-sanitize/fuzz-findings/ (and the script fails).
#   bash scripts/fuzz.sh [time]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/checked-build.sh
source scripts/sanitizer-options.sh
mkdir -p build-sanitize/fuzz-findings
status=0
for target in build-sanitize/fuzz_*; do
    name="$(basename "$target")"
    starts="fuzz/corpus/${name#fuzz_}"
    work="build-sanitize/fuzz-corpus/${name#fuzz_}"
    mkdir -p "$work"
    echo "== $name for ${seconds} s"
    QT_QPA_PLATFORM=offscreen "$target" -max_total_time="$seconds" -max_len=2048 -timeout=20 \
        -print_final_stats=1 -artifact_prefix="build-sanitize/fuzz-findings/$name-" \
        "$work" $( [ -d "$starts" ] && echo "$starts" ) || status=1
done
exit "$status"
