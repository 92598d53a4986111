#!/usr/bin/env bash
# Runs the fuzz targets built by the "fuzz" preset (build/fuzz).
#   fuzz/run.sh TARGET SECONDS   fuzz one target for that long, with a working
#                                copy of its seed corpus under build/fuzz/work/
#   fuzz/run.sh --corpus-only    run every target once over its seed corpus
#                                (a quick regression check, used by test.sh)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${KORVEX_FUZZ_BUILD:-$here/../build/fuzz}/fuzz

corpus_of() { local n=${1%_fuzz}; echo "$here/corpus/$n"; }

if [ "${1:-}" = "--corpus-only" ]; then
  status=0; count=0
  for exe in "$bin"/*_fuzz; do
    [ -x "$exe" ] || continue
    name=$(basename "$exe")
    if "$exe" -runs=0 "$(corpus_of "$name")" >"$bin/$name.corpus.log" 2>&1; then
      echo "fuzz corpus: $name ok"
      count=$((count + 1))
    else
      echo "fuzz corpus: $name FAILED (see $bin/$name.corpus.log)"
      tail -20 "$bin/$name.corpus.log"
      status=1
    fi
  done
  [ $count -gt 0 ] || [ $status -ne 0 ] || { echo "fuzz corpus: no targets built"; exit 1; }
  exit $status
fi

if [ $# -ne 2 ]; then
  echo "usage: fuzz/run.sh TARGET SECONDS | fuzz/run.sh --corpus-only" >&2
  exit 2
fi
name=$1; seconds=$2
work=$bin/../work/$name
mkdir -p "$work"
cp -n "$(corpus_of "$name")"/* "$work"/ 2>/dev/null || true
exec "$bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$work"
