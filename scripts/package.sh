#!/usr/bin/env bash
# Builds the Debian package of the build folder (build/ or $QACSEMAF_BUILD_DIR) into
# $QACSEMAF_PACKAGE_DIR (default: the build folder's packages/), prints its name, size and
# dependencies, and checks it with lintian: its warnings are printed, an error fails the script.
# The programs go in stripped, under /usr.
#   scripts/package.sh [cmake options]   the same options as scripts/build.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QACSEMAF_BUILD_DIR:-$root/build}
out=${QACSEMAF_PACKAGE_DIR:-$build/packages}
bash "$root/scripts/build.sh" "$@"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" > "$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
rm -rf "$out/_CPack_Packages"
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$out/cpack.log")
echo "package: $deb ($(du -h "$deb" | cut -f1))"
dpkg-deb --field "$deb" Package Version Depends Recommends
# lintian reads the package as Debian's archive would; it warns when run as root, which CI is.
echo "lintian:"
if ! lintian --fail-on error --tag-display-limit 0 "$deb"; then
  echo "package.sh: lintian finds errors (E:) in $deb" >&2
  exit 1
fi
