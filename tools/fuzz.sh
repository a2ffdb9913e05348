#!/usr/bin/env bash
# Builds the decoder fuzzers with clang and runs each a bounded number of
# inputs from the seeds the tests wrote (build/asan/fuzz-corpus), with a fixed
# random seed so a run is repeatable: tools/fuzz.sh [runs per decoder]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20000}
seeds=${VELLUMET_FUZZ_SEEDS:-build/asan/fuzz-corpus}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for decoder in bmp jpeg; do
  corpus=build/fuzz/corpus-$decoder
  mkdir -p "$corpus"
  [ -d "$seeds/$decoder" ] && cp -n "$seeds/$decoder"/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $decoder, $runs inputs"
  build/fuzz/bin/${decoder}_fuzzer -runs="$runs" -seed=1 -max_len=65536 -rss_limit_mb=2048 -timeout=10 -artifact_prefix=build/fuzz/ \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
done
