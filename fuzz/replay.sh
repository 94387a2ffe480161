#!/bin/sh
# Replays every saved fuzz corpus once: fuzz/corpus/<name>/ through
# <build dir>/fuzz/fuzz_<name>. Builds nothing; prints one line per target and
# exits non-zero when any target is missing or fails on its corpus.
# Usage: fuzz/replay.sh <fuzz build dir>
set -u

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 <fuzz build dir>" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
corpus_root=$(cd "$(dirname "$0")" && pwd)/corpus

status=0
found=0
for corpus in "$corpus_root"/*/; do
  [ -d "$corpus" ] || continue
  found=1
  name=$(basename "$corpus")
  target="$build_dir/fuzz/fuzz_$name"
  if [ ! -x "$target" ]; then
    echo "fuzz_$name: FAILED (not built: $target)"
    status=1
    continue
  fi
  files=$(find "$corpus" -type f | wc -l)
  log=$(mktemp)
  if "$target" -runs=0 "$corpus" >"$log" 2>&1; then
    echo "fuzz_$name: ok ($files inputs)"
  else
    echo "fuzz_$name: FAILED on its corpus ($files inputs); output follows"
    tail -n 40 "$log"
    status=1
  fi
  rm -f "$log"
done

if [ "$found" -eq 0 ]; then
  echo "no corpus found under $corpus_root" >&2
  exit 1
fi
exit $status
