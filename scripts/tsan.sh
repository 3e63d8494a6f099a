#!/usr/bin/env bash
# Builds the suites whose code runs on more than one thread with ThreadSanitizer and runs them:
# the logger, the catalogue (its tree scanner and a merge beside a writer), the folder walker,
# and the messages posted to windows from a worker thread (under Xvfb). Fails on any report.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$top/build-tsan}
core_suites=(test_core_logger test_core_catalogue test_core_fs)

cmake -S "$top" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOLINE_TSAN=ON -DTARVOLINE_BENCH=OFF >/dev/null
targets=("${core_suites[@]}")
with_windows=0
if cmake --build "$build_dir" --target help 2>/dev/null | grep 'test_platform_gui' >/dev/null; then
  targets+=(test_platform_gui)
  with_windows=1
fi
cmake --build "$build_dir" -j "${TARVOLINE_BUILD_JOBS:-$(nproc)}" --target "${targets[@]}"

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
for suite in "${core_suites[@]}"; do
  echo "-- $suite"
  (cd /tmp && "$build_dir/tests/$suite" --gtest_brief=1)
done
if [ "$with_windows" = 1 ]; then
  echo "-- test_platform_gui, the tests with threads"
  # The toolkit's libraries are not built with the sanitizer; only their own stacks are silenced.
  TSAN_OPTIONS="$TSAN_OPTIONS suppressions=$top/platform/wx/toolkit_races.supp" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build_dir/tests/platform/test_platform_gui" --gtest_brief=1 \
    --gtest_filter='*thread*:*posted*'
fi
