#!/usr/bin/env bash
# Runs each fuzz target for a while on its corpus and fails on any crash, leak, timeout, memory
# limit or sanitizer report; what a target found is kept under BUILD_DIR/artifacts.
#
#   run_fuzzers.sh BUILD_DIR SECONDS
set -uo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
suite=${KOMALORE_SHARED_DIR:-$here/../../shared}/bmpsuite
artifacts=$build/artifacts
mkdir -p "$artifacts"
failures=0

# Pages: the BMP suite. Lettering: the suite too (any bytes will do) and a few texts of the kind
# a letterer types (Top, Left, Font Size and the balloon text, NUL between them; code page 932).
for target in fuzz_page fuzz_lettering; do
  "$here/seed_corpus.sh" "$suite" "$build/corpus/$target" || exit 1
done
seeds=$build/corpus/fuzz_lettering
printf '%s\0%s\0%s\0%b' 120 80 -24 '\x82\xa0\x82\xa2\r\n\x82\xa4\x82\xa6' >"$seeds/seed-two-lines"
printf '%s\0%s\0%s\0%s' 0 0 15 Komalore >"$seeds/seed-defaults"
printf '%s\0%s\0%s\0%b' -2147483648 2147483647 999999 '\x81\x40' >"$seeds/seed-extremes"

for target in fuzz_page fuzz_lettering; do
  log=$build/$target.log
  echo "== $target for $seconds s"
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" "$build/corpus/$target" >"$log" 2>&1
  status=$?
  if [[ $status -ne 0 ]] || grep -qE '^==[0-9]+==ERROR|runtime error:|^SUMMARY: ' "$log"; then
    echo "FAIL: $target (exit status $status); the input is under $artifacts:"
    grep -E '^==[0-9]+==ERROR|runtime error:|^SUMMARY: |Test unit written to' "$log" | head -20
    failures=$((failures + 1))
  else
    grep -E '^stat::number_of_executed_units|^Done ' "$log" | tail -2
  fi
done

[[ $failures -eq 0 ]] || { echo "$failures fuzz targets failed"; exit 1; }
echo "fuzz: every target ran $seconds s without a finding"
