#!/usr/bin/env bash
# Sets up, builds and runs every test: first a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer (skip it with TARVOLINE_SKIP_SANITIZED=1), then
# the threaded suites under ThreadSanitizer (TARVOLINE_SKIP_TSAN=1 skips them), then every fuzz
# target for TARVOLINE_FUZZ_SECONDS (default 25) under the first two (TARVOLINE_SKIP_FUZZ=1).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"

run_suite() {
  local build_dir=$1; shift
  bash "$top/scripts/build.sh" "$build_dir" "$@"
  (cd "$build_dir" && ctest --output-on-failure --no-tests=error -j "$(nproc)")
}

# Cases about unreadable files and folders skip as root, since root reads everything; CI runs as
# root, so the core suites run once more as an unprivileged user where that is possible.
run_core_unprivileged() {
  local build_dir=$1
  [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null || return 0
  # A checkout below a private folder (root's home) can't be reached by that user: skip then.
  if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$build_dir/tests" 2>/dev/null; then
    echo "== core tests as an unprivileged user: skipped, the build folder is private =="
    return 0
  fi
  # The suites (and GoogleTest's captured output) write below /tmp.
  if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -w /tmp 2>/dev/null; then
    echo "== core tests as an unprivileged user: skipped, /tmp is not writable by that user =="
    return 0
  fi
  echo "== core tests as an unprivileged user =="
  local suite
  for suite in "$build_dir"/tests/test_core_*; do
    [ -x "$suite" ] || continue
    (cd /tmp && setpriv --reuid=65534 --regid=65534 --clear-groups "$suite" --gtest_brief=1) \
      || { echo "FAILED as an unprivileged user: $(basename "$suite")"; return 1; }
  done
}

echo "== tests =="
bash "$top/scripts/build.sh" "$top/build" -DTARVOLINE_SANITIZE=OFF
run_core_unprivileged "$top/build"
run_suite "$top/build" -DTARVOLINE_SANITIZE=OFF
if [ "${TARVOLINE_SKIP_SANITIZED:-0}" != 1 ]; then
  echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$top/build-sanitized" -DTARVOLINE_SANITIZE=ON -DTARVOLINE_BENCH=OFF
fi
if [ "${TARVOLINE_SKIP_TSAN:-0}" != 1 ]; then
  echo "== threaded suites under ThreadSanitizer =="
  bash "$top/scripts/tsan.sh" "$top/build-tsan"
fi
if [ "${TARVOLINE_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== fuzz targets under AddressSanitizer and UndefinedBehaviorSanitizer =="
  TARVOLINE_FUZZ_JOBS=${TARVOLINE_FUZZ_JOBS:-3} bash "$top/scripts/fuzz.sh" "${TARVOLINE_FUZZ_SECONDS:-25}"
fi
