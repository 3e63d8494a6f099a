#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# then runs each for a bounded time:  scripts/fuzz.sh [seconds per target] [target ...]
# Targets are the names of fuzz/*.cpp (all when none is given). Fails when any target finds
# something; the input that did it is kept in build-fuzz/findings/. Inputs found along the way
# gather in build-fuzz/corpus/, so a later run starts where the last one stopped.
# TARVOLINE_FUZZ_JOBS targets run side by side (default 2). TARVOLINE_FUZZ_TIMEOUT is the seconds
# one input may take before it counts as a hang (default 10); long runs on a virtual machine that
# can be paused may want more, since a pause counts against the input that was running.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-25}
shift || true
build_dir=${TARVOLINE_FUZZ_BUILD:-$top/build-fuzz}
jobs=${TARVOLINE_FUZZ_JOBS:-2}
bash "$top/scripts/setup.sh" fuzz

cmake -S "$top" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTARVOLINE_FUZZ=ON -DTARVOLINE_TESTS=OFF -DTARVOLINE_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "${TARVOLINE_BUILD_JOBS:-$(nproc)}" --target fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$top"/fuzz/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

mkdir -p "$build_dir/findings" "$build_dir/logs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_target() {
  local name=$1
  local corpus="$build_dir/corpus/$name"
  local options=(-max_total_time="$seconds" -max_len=4096 -timeout="${TARVOLINE_FUZZ_TIMEOUT:-10}" -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix="$build_dir/findings/$name-")
  [ -f "$top/fuzz/dictionaries/$name.dict" ] && options+=(-dict="$top/fuzz/dictionaries/$name.dict")
  mkdir -p "$corpus"
  # The first folder takes what the run finds; the seeds in the repository are only read.
  (cd "$build_dir" && "$build_dir/fuzz/fuzz_$name" "${options[@]}" "$corpus" "$top/fuzz/corpus/$name") \
    >"$build_dir/logs/$name.log" 2>&1
}

report() {
  local name=$1 status=$2
  local log="$build_dir/logs/$name.log"
  local runs speed
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" 2>/dev/null | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" 2>/dev/null | tail -1)
  if [ "$status" -eq 0 ]; then
    echo "fuzz_$name: ${runs:-?} runs, ${speed:-?} per second, no finding"
  else
    echo "fuzz_$name: FINDING (exit $status); its log:"
    tail -n 60 "$log"
  fi
}

# Targets run in groups of $jobs; every target of a group runs for the same time.
failed=0
for ((first = 0; first < ${#targets[@]}; first += jobs)); do
  group=("${targets[@]:first:jobs}")
  pids=()
  for name in "${group[@]}"; do
    [ -f "$top/fuzz/$name.cpp" ] || { echo "no fuzz target $name"; exit 2; }
    run_target "$name" &
    pids+=($!)
  done
  for index in "${!group[@]}"; do
    status=0
    wait "${pids[$index]}" || status=$?
    report "${group[$index]}" "$status"
    [ "$status" -eq 0 ] || failed=1
  done
done
exit "$failed"
