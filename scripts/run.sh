#!/usr/bin/env bash
# Sets everything up and opens the module in the host program on the embedded demo database.
# Without a display the same start runs offscreen and leaves a picture of the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"

db=${QACSEMAF_DB:-$root/var/demo.db}
mkdir -p "$(dirname "$db")"
if [ ! -f "$db" ]; then
  echo "run: creating the demo database $db"
  "$build/tools/qacsemaf" seed --db "$db"
fi

host=("$build/host/qacsemaf-host" --library "$build/src/entry/libQAcSemaf.so"
      --protocol local --alias "$db" --user ADMIN --password ADMIN --company 1)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="$root/var/host.png"
  echo "run: no display; starting the host offscreen for 3 seconds"
  QT_QPA_PLATFORM=offscreen "${host[@]}" --quit-after 3000 --screenshot "$shot" "$@"
  echo "run: the host opened the module and closed again; its window is in $shot"
else
  exec "${host[@]}" "$@"
fi
