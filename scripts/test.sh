#!/usr/bin/env bash
# Sets everything up, builds, and runs every test through CTest.
#   scripts/test.sh [ctest options]
#   scripts/test.sh --sanitize [ctest options]   the tests of the layers that parse input and
#       guard boundaries (server core, datasets, entry points, scoring, seeding), built with
#       AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of its own
#       (build-sanitize/); any report fails the test that caused it. QACSEMAF_SANITIZE_ALL=1
#       builds and runs the whole suite that way (about twice the time of a normal run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=1
  shift
fi

if [ "$sanitize" = 1 ]; then
  build=${QACSEMAF_SANITIZE_BUILD_DIR:-$root/build-sanitize}
  bash "$root/scripts/install-deps.sh"
  source "$root/scripts/compiler-cache.sh"
  # Unoptimised keeps the sanitized build quick to compile (the tests it runs are small); line
  # tables are all the reports need to name file and line.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
    -DCMAKE_C_FLAGS_DEBUG="-O0 -g1" -DQACSEMAF_SANITIZE=ON -DBUILD_TESTING=ON \
    -DQACSEMAF_WERROR="${QACSEMAF_WERROR:-OFF}" "${launcher[@]}" > /dev/null
  subset=(tst_sqltext tst_serverfetch tst_serverapply tst_connection tst_fields
          tst_datasetsearch tst_datasetstate tst_remotedataset tst_datasetmodel tst_profilescoring
          tst_generationcases tst_session tst_entrypoints tst_chost tst_seedcommand)
  if [ -n "${QACSEMAF_SANITIZE_ALL:-}" ]; then
    cmake --build "$build" -j"$(nproc)"
  else
    cmake --build "$build" -j"$(nproc)" --target "${subset[@]}"
    set -- -R "^($(IFS='|'; echo "${subset[*]}"))\$" "$@"
  fi
  # Leaks are reported too; what the system libraries keep until exit is listed in the
  # suppressions file, nothing of ours.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:halt_on_error=1:detect_leaks=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
else
  build=${QACSEMAF_BUILD_DIR:-$root/build}
  # The tests and the benchmarks (which the suite does not run, but keeps compiling).
  bash "$root/scripts/build.sh" -DBUILD_TESTING=ON -DQACSEMAF_BUILD_BENCHMARKS=ON
fi

# The server and seeding tests also run on PostgreSQL: a throwaway local server, unless
# QACSEMAF_PG already names one.
if [ -z "${QACSEMAF_PG:-}" ]; then
  if QACSEMAF_PG=$(bash "$root/scripts/test-postgres.sh" 2> "$build/test-postgres.log"); then
    export QACSEMAF_PG
    trap 'bash "$root/scripts/test-postgres.sh" stop' EXIT
    echo "test: PostgreSQL tests run on $QACSEMAF_PG"
  else
    unset QACSEMAF_PG
    echo "test: no PostgreSQL server could be started (see $build/test-postgres.log); SQLite only"
  fi
fi

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"

# Then each fuzzer for a few seconds (QACSEMAF_FUZZ_SECONDS; 0 skips them; clang needed).
fuzz_seconds=${QACSEMAF_FUZZ_SECONDS:-5}
if [ "$sanitize" = 0 ] && [ "$fuzz_seconds" != 0 ] && [ $# -eq 0 ] && command -v clang++ > /dev/null; then
  bash "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi
