#!/usr/bin/env bash
# Line and function coverage of the test suite (gcov and lcov, no sanitizers).
# Usage: scripts/coverage.sh [SRC_DIR] [JOBS]   (`make coverage`)
#   Builds SRC_DIR/build-cov (Debug, --coverage -O0), runs ctest, captures
#   the counters, keeps the program's own sources (not tests/, bench/ or the
#   build tree) and prints the lcov summary; everything stays in build-cov/.
# Env: SKIP_BUILD=1 reuses an existing build; KEEP_COUNTERS=1 keeps old counters.
set -euo pipefail

SRC=$(realpath "${1:-$(dirname "$0")/..}")
JOBS=${2:-2}
BUILD="$SRC/build-cov"
LOG="$BUILD/coverage-logs"
OUT="$BUILD"
mkdir -p "$LOG"
start=$(date +%s)

if ! command -v lcov >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends lcov
fi

# lcov 1.x accepts only gcov/source/graph for --ignore-errors; lcov 2.x knows
# mismatch/negative/... Pick whatever this lcov understands.
IGN=()
if lcov --version 2>/dev/null | grep -qE 'version 1\.'; then
  IGN=(--ignore-errors gcov,source,graph)
else
  IGN=(--ignore-errors mismatch,negative,gcov,source,graph,unused,empty,inconsistent)
fi

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
  echo "== configure ($BUILD)"
  cmake -S "$SRC" -B "$BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="--coverage -O0" \
    -DCMAKE_C_FLAGS="--coverage -O0" \
    -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
    -DCMAKE_SHARED_LINKER_FLAGS="--coverage" \
    >"$LOG/configure.log" 2>&1 || { tail -40 "$LOG/configure.log"; exit 1; }
  echo "== build (-j $JOBS)"
  cmake --build "$BUILD" -j "$JOBS" >"$LOG/build.log" 2>&1 || { tail -60 "$LOG/build.log"; exit 1; }
fi
build_done=$(date +%s)

# Fresh counters so the numbers describe exactly one ctest run.
if [[ "${KEEP_COUNTERS:-0}" != 1 ]]; then
  find "$BUILD" -name '*.gcda' -delete
fi

echo "== ctest (-j $JOBS)"
set +e
(cd "$BUILD" && ctest -j "$JOBS" --output-on-failure) >"$LOG/ctest.log" 2>&1
ctest_rc=$?
set -e
grep -E 'tests passed|tests failed' "$LOG/ctest.log" || true
if [[ $ctest_rc -ne 0 ]]; then
  echo "   (ctest exit $ctest_rc; failing tests:)"
  sed -n '/The following tests FAILED/,$p' "$LOG/ctest.log" | head -50
fi
tests_done=$(date +%s)

echo "== lcov capture"
cd "$SRC"
lcov --capture --directory "$BUILD" --output-file "$OUT/cov.info" "${IGN[@]}" \
  >"$LOG/lcov-capture.log" 2>&1 || { tail -40 "$LOG/lcov-capture.log"; exit 1; }
lcov --extract "$OUT/cov.info" "$SRC/*" -o "$OUT/proj.info" "${IGN[@]}" >"$LOG/lcov-extract.log" 2>&1
lcov --remove "$OUT/proj.info" "$SRC/tests/*" "$SRC/bench/*" "$BUILD/*" \
  -o "$OUT/final.info" "${IGN[@]}" >"$LOG/lcov-remove.log" 2>&1
lcov --summary "$OUT/final.info" 2>&1 | tee "$LOG/summary.txt"
end=$(date +%s)

echo "== timing: build $((build_done-start))s, ctest $((tests_done-build_done))s, lcov $((end-tests_done))s, total $((end-start))s"
echo "LINE COVERAGE: $(grep -E '^ *lines' "$LOG/summary.txt" | sed 's/^ *lines\.*: *//')"
echo "ctest exit: $ctest_rc   logs: $LOG   tracefile: $OUT/final.info"
