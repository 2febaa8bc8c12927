# Sourced by the build scripts: when ccache is present, sets `launcher` to the CMake options that
# compile through it. Paths are hashed relative to the folder above the checkout and the working
# folder is left out of the hash, so every checkout (and CI's clean clone) reuses the objects
# another one compiled from the same sources; only debug info names the other folder then.
launcher=()
if command -v ccache > /dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}
  export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
