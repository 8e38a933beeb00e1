#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for a bounded time. An input that crashes a target is copied to its folder under
# tests/data/<skin, gateway or lists>/fuzz/, where the regression tests replay it from then on, and the
# script fails.
#   scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARY_FUZZ=ON -DTESSARY_SANITIZE=ON -DTESSARY_TESTS=OFF -DTESSARY_BENCH=OFF >/dev/null
cmake --build "$build" --target png_fuzzer skin_pack_fuzzer modem_lines_fuzzer \
  status_report_fuzzer list_import_fuzzer skin_load_fuzzer date_scanner_fuzzer \
  hint_html_fuzzer >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
run() {
  local target=$1 layer=$2 seeds=$3 extra=${4:-}
  local work="$build/corpus/$target" found="$build/found/$target"
  local keep="tests/data/$layer/fuzz/${target%_fuzzer}"
  mkdir -p "$work" "$found" "$keep"
  # Bounded: total time, per-input time and memory; the internal image bound keeps
  # allocations well under the memory limit.
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -artifact_prefix="$found/" $extra "$work" "$seeds" "$keep" \
      >"$build/$target.log" 2>&1; then
    echo "fuzz: $target found a failure:"; grep -E 'ERROR|SUMMARY|Test unit written' "$build/$target.log" | head -5
    cp "$found"/* "$keep"/ 2>/dev/null || true
    status=1
  else
    echo "fuzz: $target: $(grep -Eo 'Done [0-9]+ runs' "$build/$target.log" | tail -1) without a failure"
  fi
}
run png_fuzzer skin tests/data/skin/pngsuite "-dict=skin/core/fuzz/png.dict"
run skin_pack_fuzzer skin tests/data/skin/fuzz/skin_pack_seeds
run modem_lines_fuzzer gateway tests/data/gateway/fuzz/modem_lines_seeds
run status_report_fuzzer gateway tests/data/gateway/fuzz/status_report_seeds
# Lists run to megabytes; a short input cannot show what a wide first line over many lines
# costs.
run list_import_fuzzer lists tests/data/lists/fuzz/list_import_seeds "-max_len=1048576"
# A skin of 100000 sections takes a minute under the sanitizers on a busy machine; that is not
# a hang.
run skin_load_fuzzer skin tests/data/skin/fuzz/skin_load_seeds \
  "-dict=skin/core/fuzz/skin_options.dict -timeout=300 -max_len=65536"
# What the operator types or pastes into a date edit, and what hint texts parse; hint texts
# run long, so that work growing faster than their length shows as a time-out.
run date_scanner_fuzzer skin tests/data/skin/fuzz/date_scanner_seeds
run hint_html_fuzzer skin tests/data/skin/fuzz/hint_html_seeds "-max_len=131072"
exit $status
