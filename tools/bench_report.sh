#!/usr/bin/env bash
# Runs the benchmark program five times over and prints one table: each case's median, and
# beside a case that has one, the floor it is measured against (the page file read whole for a
# paint, the same bytes written for a snapshot) with the ratio of the two.
#
#   bench_report.sh KOMALORE_BENCH [extra benchmark flags...]
set -euo pipefail
bench=$1
shift
csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
"$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv "$@" \
  >"$csv" 2>/dev/null

# CSV columns: name, iterations, real_time, cpu_time, time_unit, ...; the medians are the rows
# whose name ends in _median. Times go to microseconds; the floor is found by the case's name.
awk -F, '
  function micros(t, unit) {
    if (unit == "ns") return t / 1000
    if (unit == "ms") return t * 1000
    if (unit == "s") return t * 1000000
    return t
  }
  function floor_of(name,   parts) {
    if (name ~ /^BM_PaintPage\//) { split(name, parts, "/"); return "BM_ReadFileFloor/" parts[2] }
    if (name == "BM_SaveSnapshot") return "BM_WriteFileFloor"
    return ""
  }
  $1 ~ /_median"?$/ {
    name = $1
    gsub(/"/, "", name)
    sub(/_median$/, "", name)
    order[++n] = name
    median[name] = micros($3, $5)
  }
  END {
    if (n == 0) { print "no median rows in the benchmark output" > "/dev/stderr"; exit 1 }
    printf "| %s | %s | %s | %s | %s |\n", "case", "median (µs)", "floor", "floor median (µs)", "ratio"
    printf "|---|---:|---|---:|---:|\n"
    for (i = 1; i <= n; ++i) {
      name = order[i]
      f = floor_of(name)
      if (f != "" && (f in median) && median[f] > 0)
        printf "| %s | %.1f | %s | %.1f | %.2f |\n", name, median[name], f, median[f], median[name] / median[f]
      else
        printf "| %s | %.1f | | | |\n", name, median[name]
    }
  }' "$csv"
