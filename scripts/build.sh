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

build_host() {   # build_host [targets...]: every target when none is named
  configure "$BUILD/host"
  cmake --build "$BUILD/host" -j "$JOBS" ${1:+--target "$@"}
}

configure_windows() {   # configure_windows <i686|x86_64> <dir> [extra cmake arguments...]
  local arch="$1" dir="$2"; shift 2
  configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" -DVELMORA_HOST_TOOLS="$BUILD/host" "$@"
}

configure_win32() {
  configure_windows i686 "$BUILD/win32" -DVELMORA_INSTALL_DIR="$OUT/Velmora"
}

build_all() {
  build_host
  configure_win32
  cmake --build "$BUILD/win32" -j "$JOBS"
}

# Only what scripts/run starts: the tools that draw the resources and the sounds, the install folder
# (the launcher and its stand-in games) and the screenshot tool; no test program.
build_program() {
  build_host make_icon make_artwork make_sounds
  configure_win32
  cmake --build "$BUILD/win32" -j "$JOBS" --target install_folder screenshot
}
