#!/usr/bin/env bash
# Sets everything up, builds, and runs every test through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"

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
