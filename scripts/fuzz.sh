#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# in their own build folder, writes the seed corpora, runs every target for SECONDS and prints
# each one's executions per second and coverage. Exits non-zero on any crash, leak, timeout or
# broken invariant; the input that found it is kept as build-fuzz/findings/TARGET-*.
#
#   scripts/fuzz.sh [SECONDS]            default 180 (FUZZ_SECONDS)
#   FUZZ_BUDGET=SECONDS                  at most this much in all, the replay included: with
#                                        more targets, each one runs for less (never under
#                                        10 s); CI sets 150
#   FUZZ_REPLAY_ONLY=1                   only replay the seeds and fuzz/regressions
#   FUZZ_TARGETS="fuzz_netlist ..."      run only these
#   FUZZ_BUILD=DIR                       build folder (default build-fuzz); one configured
#                                        with -DTABLO_FUZZ=ON already (CI's build-asan, tests
#                                        and all) is used as it is
#   FUZZ_JOBS=N                          targets run side by side (default: the core count);
#                                        each still gets SECONDS, so the budget is wall time
#                                        shared by N at once
#
# Every run first replays each target's seeds and its regression inputs (fuzz/regressions/
# TARGET: inputs that once found a fault, kept so that it stays fixed); a failing replay is a
# finding like any other.
#
# The corpora grow in build-fuzz/corpus/TARGET across runs; delete the folder to start afresh.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${FUZZ_SECONDS:-180}}
build=${FUZZ_BUILD:-build-fuzz}
jobs=$(nproc)
parallel=${FUZZ_JOBS:-$jobs}
[ "$parallel" -ge 1 ] || parallel=1

bash scripts/install-deps.sh
if ! grep -qx 'TABLO_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTABLO_FUZZ=ON -DTABLO_BUILD_TESTS=OFF -DTABLO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$jobs" --target fuzz_all

rm -rf "$build/seeds"
"$build/tablo-fuzz-seeds" "$build/seeds"

targets=${FUZZ_TARGETS:-$(cat "$build/fuzz-targets.txt")}
count=$(wc -w <<<"$targets")
mkdir -p "$build/findings" "$build/logs"
export QT_QPA_PLATFORM=offscreen
# Allocation stacks cost more than the rest of an input on the project reader; a finding is
# run again below with full stacks.
fast_asan="malloc_context_size=0:detect_leaks=1:abort_on_error=1"
full_asan="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0

# At most $parallel children at once; each one leaves its exit code in $build/logs/NAME.rc.
pool() {
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
}

replay() {
  local t=$1 rc=0
  local inputs=("$build/seeds/$t")
  [ -d "fuzz/regressions/$t" ] && inputs+=("fuzz/regressions/$t")
  ASAN_OPTIONS=$fast_asan "$build/$t" -runs=0 -timeout=10 -rss_limit_mb=2560 \
    -artifact_prefix="$build/findings/$t-" "${inputs[@]}" >"$build/logs/$t-replay.log" 2>&1 || rc=$?
  echo $rc >"$build/logs/$t-replay.rc"
}

fuzz_one() {
  local t=$1 rc=0
  local corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  ASAN_OPTIONS=$fast_asan "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$t-" "$corpus" "$build/seeds/$t" \
    $([ -d "fuzz/regressions/$t" ] && echo "fuzz/regressions/$t") \
    >"$build/logs/$t.log" 2>&1 || rc=$?
  echo $rc >"$build/logs/$t.rc"
}

failed=()
summary=()

# The replay: every seed and regression input once.
started=$SECONDS
rm -f "$build"/logs/*.rc
for t in $targets; do
  pool
  replay "$t" &
done
wait
for t in $targets; do
  rc=$(cat "$build/logs/$t-replay.rc" 2>/dev/null || echo 99)
  if [ "$rc" -ne 0 ]; then
    failed+=("$t")
    echo "fuzz: $t fails on its seeds or regression inputs (exit $rc); log $build/logs/$t-replay.log"
    grep -E 'ERROR|SUMMARY|check failed|runtime error|Running: ' "$build/logs/$t-replay.log" | tail -20 || true
  fi
done
replayed=$((SECONDS - started))
echo "fuzz: replayed the seeds and regression inputs of $count targets in ${replayed}s ($parallel at a time)"
if [ -n "${FUZZ_REPLAY_ONLY:-}" ]; then
  [ ${#failed[@]} -eq 0 ] || { echo "fuzz: findings in ${failed[*]}" >&2; exit 1; }
  exit 0
fi
# The budget is wall time: $parallel targets fuzz at once, each for the same share.
rounds=$(((count + parallel - 1) / parallel))
if [ -n "${FUZZ_BUDGET:-}" ] && [ "$count" -gt 0 ] && [ $(((FUZZ_BUDGET - replayed) / rounds)) -lt "$seconds" ]; then
  seconds=$(((FUZZ_BUDGET - replayed) / rounds))
  [ "$seconds" -ge 10 ] || seconds=10
  echo "fuzz: $count targets, $parallel at a time, in a budget of ${FUZZ_BUDGET}s: ${seconds}s each"
fi

for t in $targets; do
  pool
  echo "fuzz: $t for ${seconds}s"
  fuzz_one "$t" &
done
wait

for t in $targets; do
  log="$build/logs/$t.log"
  rc=$(cat "$build/logs/$t.rc" 2>/dev/null || echo 99)
  execs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  summary+=("$(printf '%-22s %8s exec/s %10s runs  cov %6s  ft %6s  %s' "$t" "${execs:-?}" "${runs:-?}" \
    "${cov:-?}" "${ft:-?}" "$([ "$rc" -eq 0 ] && echo ok || echo "FINDING (exit $rc)")")")
  if [ "$rc" -ne 0 ]; then
    failed+=("$t")
    echo "fuzz: $t found a fault (exit $rc); log $log"
    grep -E 'ERROR|SUMMARY|check failed|runtime error|Test unit written' "$log" | head -20 || true
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
    if [ -n "$artifact" ] && [ -f "$artifact" ]; then
      echo "fuzz: $t on $artifact with full stacks:"
      ASAN_OPTIONS=$full_asan "$build/$t" "$artifact" 2>&1 | tail -60 || true
    fi
  fi
done

echo "fuzz results (${seconds}s per target):"
printf '  %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
