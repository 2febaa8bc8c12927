#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $QACSEMAF_FUZZ_BUILD_DIR) and runs
# each for SECONDS (default 10) from the seeds in fuzz/corpus/<target>. New inputs it finds stay in
# build-fuzz/corpus/<target> for the next run; a crash stops the script with the failing input.
#   bash scripts/fuzz.sh [SECONDS] [target...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-10}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_request_decoder fuzz_fetch_answer fuzz_statement_params fuzz_request_binder fuzz_filter_expression fuzz_option_text fuzz_list_splitter)
source "$root/scripts/compiler-cache.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DQACSEMAF_FUZZ=ON "${launcher[@]}" > /dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/corpus/$target" ] && seeds=("$root/fuzz/corpus/$target")
  echo "fuzz: $target for ${seconds} s"
  "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" \
    > "$build/$target.log" 2>&1 || { tail -n 40 "$build/$target.log"; exit 1; }
done
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each without a failure"
