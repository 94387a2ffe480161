#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds the normal tree, the
# sanitizer tree and the fuzz targets, then runs everything under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh "$root/build"
bash scripts/build.sh "$root/build-asan" -DQUENMAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
if [ -f fuzz/replay.sh ]; then
  CC=clang CXX=clang++ bash scripts/build.sh "$root/build-fuzz" -DQUENMAR_FUZZ=ON
fi

status=0
if [ -f fuzz/replay.sh ]; then
  echo "== fuzz corpora replay"
  bash fuzz/replay.sh "$root/build-fuzz" || status=1
fi

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== sanitizer build: unit and pane tests"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$root/build-asan" -L 'unit|pane' -j2 --output-on-failure || status=1

echo "== unit, pane and end-to-end tests"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$root/build" -j2 --output-on-failure || status=1
exit $status
