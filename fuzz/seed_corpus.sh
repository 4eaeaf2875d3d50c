#!/usr/bin/env bash
# Seeds a fuzz target's corpus with the shared BMP suite's good, questionable, bad and
# extra-format files (copied into the build tree at run time, never into the sources).
#
#   seed_corpus.sh BMPSUITE_DIR CORPUS_DIR
set -euo pipefail
suite=$1
corpus=$2
mkdir -p "$corpus"
count=0
for set in g q b x; do
  for f in "$suite/$set"/*.bmp; do
    [[ -f $f ]] || continue
    cp "$f" "$corpus/$set-$(basename "$f")"
    count=$((count + 1))
  done
done
[[ $count -gt 0 ]] || { echo "seed_corpus: no BMP files under $suite" >&2; exit 1; }
