#!/usr/bin/env bash
# Sets everything up and opens the module in the host program on the embedded demo database.
# Without a display the same start runs offscreen and leaves a picture of the window, and the
# list report of a demo plan node and the competence report of its first employee are written
# as PDF.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"

db=${QACSEMAF_DB:-$root/var/demo.db}
mkdir -p "$(dirname "$db")"
if [ ! -f "$db" ]; then
  echo "run: creating the demo database $db"
  "$build/tools/qacsemaf" seed --db "$db"
else
  # A demo database made by an earlier build is brought to this build's schema, its rows kept.
  "$build/tools/qacsemaf" migrate --db "$db" > /dev/null
fi

# The demo's administrator; the host and the command line read the password from here.
export QACSEMAF_PASSWORD=ADMIN
host=("$build/host/qacsemaf-host" --library "$build/src/entry/libQAcSemaf.so"
      --protocol local --alias "$db" --user ADMIN --company 1)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="$root/var/host.png"
  echo "run: no display; starting the host offscreen for 3 seconds"
  QT_QPA_PLATFORM=offscreen "${host[@]}" --quit-after 3000 --screenshot "$shot" "$@"
  echo "run: the host opened the module and closed again; its window is in $shot"
  # Plan 1 of company 1, node 3: "Director de Tesorería", with COO002 and PRO002 one level
  # below, all three positions of company 1, so each page of the window has rows. The real main
  # form, offscreen, goes there, ticks every category and presses the button.
  tool="$build/tools/qacsemaf"
  road=(--db "$db" --company 1 --plan 1 --node 3 --categories EF,EN,EP,CO)
  echo "run: traffic light of plan 1, node 3 (Director de Tesorería), generated through the main form:"
  "$tool" generate "${road[@]}"
  for page in ruta plan cargos mapa; do
    "$tool" screenshot "${road[@]}" --page "$page" --out "$root/var/page-$page.png" > /dev/null
  done
  echo "run: the four pages of the window are in $root/var/page-ruta.png, page-plan.png, page-cargos.png and page-mapa.png"
  report="$root/var/list.pdf"
  node=(--db "$db" --company 1 --target DIR002@1 --candidates COO002@1,PRO002@1 --categories EF,EN,EP,CO)
  "$tool" report list "${node[@]}" --pdf "$report" > /dev/null
  echo "run: the list report of the demo node DIR002 (COO002 and PRO002 below it) is in $report"
  # The competence report (requirement table and chart) of the first employee evaluated there.
  competence="$root/var/competence.pdf"
  echo "run: the competence report of the first employee evaluated at that node:"
  "$tool" report competence "${node[@]}" --pdf "$competence"
  echo "run: the succession map of plan 1 (every node with candidates, generated at once):"
  "$tool" succession --db "$db" --company 1 --plan 1 --categories EF,EN,EP,CO
else
  exec "${host[@]}" "$@"
fi
