#!/usr/bin/env bash
# Configures and builds the project into build/ (or $QACSEMAF_BUILD_DIR).
#   scripts/build.sh [cmake options]   e.g. -DQACSEMAF_BUILD_BENCHMARKS=ON; options given once stay
#       in the build folder's cache. QACSEMAF_WERROR=ON makes warnings errors (CI), for this build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
source "$root/scripts/compiler-cache.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQACSEMAF_WERROR="${QACSEMAF_WERROR:-OFF}" "${launcher[@]}" "$@" > /dev/null
cmake --build "$build" -j"$(nproc)"
