#!/usr/bin/env bash
# Sets up, builds and runs every test: first a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer (skip it with TARVOLINE_SKIP_SANITIZED=1).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"

run_suite() {
  local build_dir=$1; shift
  bash "$top/scripts/build.sh" "$build_dir" "$@"
  (cd "$build_dir" && ctest --output-on-failure --no-tests=error -j "$(nproc)")
}

echo "== tests =="
run_suite "$top/build" -DTARVOLINE_SANITIZE=OFF
if [ "${TARVOLINE_SKIP_SANITIZED:-0}" != 1 ]; then
  echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$top/build-sanitized" -DTARVOLINE_SANITIZE=ON -DTARVOLINE_BENCH=OFF
fi
