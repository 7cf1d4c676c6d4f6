#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) in build-fuzz and runs each for a bounded time on a
# copy of its seed corpus. Fails on any crash, leak, hang, sanitizer report or broken promise; the input that
# did it is left in build-fuzz/fuzz-findings/<target>/.
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
shift || true
build="build-fuzz"
scripts/install-dependencies.sh

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQUENARY_FUZZ=ON
elif ! grep -q '^QUENARY_FUZZ:BOOL=ON$' "$build/CMakeCache.txt"; then
  echo "$build is no fuzz build; remove it and run again" >&2
  exit 1
fi
cmake --build "$build" --target fuzz

if [ $# -eq 0 ]; then
  for source in tests/fuzz/fuzz_*.cpp; do
    set -- "$@" "$(basename "$source" .cpp)"
  done
fi

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "$@"; do
  program=$build/fuzz/$target
  work=$build/fuzz-work/$target
  findings=$build/fuzz-findings/$target
  if [ ! -x "$program" ]; then
    echo "$target: no such fuzz target" >&2
    failed+=("$target")
    continue
  fi
  # New inputs go into a copy; the committed seeds stay as they are.
  rm -rf "$work"
  mkdir -p "$work/corpus" "$findings"
  if [ -d "tests/fuzz/corpus/$target" ]; then
    cp -R "tests/fuzz/corpus/$target/." "$work/corpus/"
  fi
  status=0
  # The outer limit only catches a run that does not end by itself. One seed unless FUZZ_SEED says
  # otherwise, so a pass tries the same inputs first each time and a finding is not a matter of luck; a
  # longer or reseeded run looks further.
  timeout $((seconds + 120)) "$program" "$work/corpus" -max_total_time="$seconds" -timeout=15 \
    -seed="${FUZZ_SEED:-20261208}" \
    -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$findings/" \
    >"$work/log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  if [ "$status" -eq 0 ] && ! grep -qE '^(==[0-9]+==ERROR|SUMMARY: )' "$work/log"; then
    printf '%-24s %8s runs in %s s\n' "$target" "${runs:-?}" "$seconds"
  else
    printf '%-24s FAILED (exit %s); log: %s\n' "$target" "$status" "$work/log"
    grep -E 'Test unit written to|^==[0-9]+==ERROR|^SUMMARY|Broken promise|ALARM|deadly signal' "$work/log" | head -10 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing failed: ${failed[*]} (inputs in $build/fuzz-findings/)" >&2
  exit 1
fi
