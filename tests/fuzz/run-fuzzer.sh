#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEEDS SCRATCH SECONDS
# Runs one fuzz target for SECONDS, starting from a copy of its seed corpus in SCRATCH:
# what the run learns stays there, and so does the input of any crash (SCRATCH/crashes).
set -euo pipefail
fuzzer=$1 seeds=$2 scratch=$3 seconds=$4

if [ ! -x "$fuzzer" ]; then
  echo "no fuzz target at $fuzzer: build the fuzz configuration first (tools/test.sh does)" >&2
  exit 1
fi
rm -rf "$scratch"
mkdir -p "$scratch/corpus" "$scratch/crashes"
cp "$seeds"/* "$scratch/corpus/"

status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$scratch/crashes/" "$scratch/corpus" || status=$?
if [ "$status" -ne 0 ]; then
  echo "fuzzing failed; once fixed, keep the input from $scratch/crashes in $seeds" >&2
fi
exit "$status"
