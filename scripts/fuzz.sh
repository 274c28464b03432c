#!/usr/bin/env bash
# Builds the libFuzzer targets (build-fuzz, clang) and runs each for a bounded
# time on a scratch copy of its seed corpus, so the repository is not changed.
#
#   scripts/fuzz.sh [seconds] [target...]
#
# seconds: run time of each target (default 30). Targets: all of fuzz/fuzz_*.cpp
# when none is named. Runs the targets one after another, or all at once with
# KONWERTER_FUZZ_PARALLEL=1; a crash, a leak, a time-out, too much memory or a
# failed check of any target makes the script fail. Findings (crash-*,
# timeout-*, leak-*, oom-*) are kept in build-fuzz/findings/<target>/.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
seconds="${1:-30}"
shift || true
build="${KONWERTER_FUZZ_BUILD:-build-fuzz}"
jobs="${KONWERTER_FUZZ_JOBS:-3}"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$f" .cpp)")
  done
fi

CXX="${CXX_FUZZ:-clang++}" cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKONWERTER_FUZZ=ON -DKONWERTER_GUI=OFF -DKONWERTER_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/konwerter-fuzz-run.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# Runs one target on its scratch corpus; its log goes to $scratch/<target>.log.
run_target() {
  local target="$1"
  local name="${target#fuzz_}"
  local corpus="$scratch/$name"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$name" ]; then
    cp -R "fuzz/corpus/$name/." "$corpus/"
  fi
  local findings="$build/findings/$target"
  mkdir -p "$findings"
  (cd "$scratch" && TMPDIR="$scratch" \
     ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
     UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
     "$here/$build/fuzz/$target" "$corpus" \
       -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=8192 \
       -print_final_stats=1 -artifact_prefix="$here/$findings/" \
       >"$scratch/$target.log" 2>&1)
}

report() {  # target, exit status
  if [ "$2" -ne 0 ]; then
    tail -n 60 "$scratch/$1.log" >&2
    failed+=("$1")
  else
    echo "== $1: passed"
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$scratch/$1.log" || true
  fi
}

failed=()
if [ "${KONWERTER_FUZZ_PARALLEL:-0}" = 1 ]; then
  # All targets at once (one core each).
  pids=()
  for target in "${targets[@]}"; do
    echo "== $target: ${seconds}s (in parallel)"
    run_target "$target" &
    pids+=($!)
  done
  for i in "${!targets[@]}"; do
    status=0
    wait "${pids[$i]}" || status=$?
    report "${targets[$i]}" "$status"
  done
else
  for target in "${targets[@]}"; do
    echo "== $target: ${seconds}s"
    status=0
    run_target "$target" || status=$?
    report "$target" "$status"
  done
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets failed: ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "fuzz targets passed: ${targets[*]}"
