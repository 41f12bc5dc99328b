# Sourced by the scripts: configures and builds the native tools and tests, then the Windows program.
# Everything lands under out/: out/build/{host,win32,win64} and the install folder out/Velmora.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT="$ROOT/out"
BUILD="$OUT/build"
JOBS=$(nproc 2>/dev/null || echo 2)

configure() {   # configure <build dir> [cmake arguments...]
  local dir="$1"; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
}

build_host() {
  configure "$BUILD/host"
  cmake --build "$BUILD/host" -j "$JOBS"
}

build_windows() {   # build_windows <i686|x86_64> <dir> [extra cmake arguments...]
  local arch="$1" dir="$2"; shift 2
  configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" -DVELMORA_HOST_TOOLS="$BUILD/host" "$@"
  cmake --build "$dir" -j "$JOBS"
}

build_all() {
  build_host
  build_windows i686 "$BUILD/win32" -DVELMORA_INSTALL_DIR="$OUT/Velmora"
}
