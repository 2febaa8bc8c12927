#!/usr/bin/env bash
# Sets everything up, builds, and runs every test through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
