#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test.
# Idempotent: apt-get runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-tools-dev qt6-l10n-tools
  qt6-translations-l10n
  libqt6sql6-sqlite libqt6sql6-psql
  qt6-charts-dev libqt6opengl6-dev
  qt6-httpserver-dev qt6-websockets-dev libssl-dev
  libgl-dev libxkbcommon-dev
  fonts-dejavu-core fonts-liberation2
  poppler-utils sqlite3 libsqlite3-dev
  xvfb xdotool xauth
  libxlsxwriter-dev python3-openpyxl
  libzip-dev python3-docx
  postgresql libpq-dev
  openssl
  libcurl4-openssl-dev
  clang libclang-rt-14-dev
  help2man librsvg2-bin gzip desktop-file-utils man-db dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
