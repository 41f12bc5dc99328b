# Sourced by the scripts: the Wine prefixes and the virtual X server the launcher and its tests run in.
# A prefix per desktop size lives under $VELMORA_WINE_ROOT; each is a copy of one base prefix.

: "${VELMORA_WINE_ROOT:?set VELMORA_WINE_ROOT to the folder that holds the Wine prefixes}"

# 32-bit prefixes, unless VELMORA_WINEARCH asks for 64-bit ones (the x86_64 build's test).
export WINEARCH="${VELMORA_WINEARCH:-win32}"
export WINEDEBUG=-all
# Names on disk in UTF-8, and a Windows locale (en-US, code page 1252) whose ANSI code page cannot spell
# every folder name: the launcher must cope with such folders.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$VELMORA_WINE_ROOT/home"

# Wine's 32-bit loader is an i386 program: where the kernel runs none, i386-run hands it to qemu. The
# server goes the same way, so that every Wine program of a prefix sees the same user.
velmora_i386_run="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/i386-run"
if [ "$WINEARCH" = win64 ]; then
  # Debian's wine command always takes the 32-bit loader; a 64-bit prefix starts from the 64-bit one
  # (which hands its 32-bit helpers to the loader beside it).
  export WINELOADER=/usr/lib/wine/wine64
  wine() { "$velmora_i386_run" "$WINELOADER" "$@"; }
  wineboot() { wine wineboot "$@"; }
else
  wine() { "$velmora_i386_run" wine "$@"; }
  wineboot() { "$velmora_i386_run" wineboot "$@"; }
fi
wineserver() { "$velmora_i386_run" wineserver "$@"; }

# How this machine runs the 32-bit program: "native", or "qemu" when every Wine process is emulated
# (then timings measure the emulator as much as the program).
velmora_i386_route() { "$velmora_i386_run" --route; }

# Makes (once) and selects the prefix whose virtual desktop is $1 (e.g. 1024x768); "native" has none,
# for a real display with its own window manager.
wine_prefix_for() {
  local desktop="$1" base="$VELMORA_WINE_ROOT/base" prefix="$VELMORA_WINE_ROOT/prefix-$1"
  export WINEPREFIX="$prefix"
  [ -f "$prefix/.ready" ] && return 0
  mkdir -p "$VELMORA_WINE_ROOT" "$HOME"
  (
    flock 9
    if [ ! -f "$base/.ready" ]; then
      rm -rf "$base"
      WINEPREFIX="$base" wineboot -i >/dev/null 2>&1
      # Debian's wine does not load its own fonts from where it installs them.
      mkdir -p "$base/drive_c/windows/Fonts"
      cp /usr/share/wine/fonts/* "$base/drive_c/windows/Fonts/" 2>/dev/null || true
      WINEPREFIX="$base" wineserver -w
      touch "$base/.ready"
    fi
    if [ ! -f "$prefix/.ready" ]; then
      rm -rf "$prefix"
      cp -a "$base" "$prefix"
      rm -f "$prefix/.ready"
      if [ "$desktop" != native ]; then
        WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1
      fi
      WINEPREFIX="$prefix" wineserver -w
      touch "$prefix/.ready"
    fi
  ) 9>"$VELMORA_WINE_ROOT/.lock"
}

# Starts a virtual X server on a free display and exports DISPLAY; XVFB_PID names it for stopping.
start_xvfb() {
  local size="${1:-1280x1024x24}" fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$fd_file" ]; then
    echo "Xvfb did not start" >&2
    rm -f "$fd_file"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  XVFB_PID=
}

# Stops the Wine servers of every prefix under the root (by prefix, never by name).
stop_wine_servers() {
  local prefix
  for prefix in "$VELMORA_WINE_ROOT"/prefix-* "$VELMORA_WINE_ROOT"/base; do
    if [ -d "$prefix" ]; then
      WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true   # fails when none runs
    fi
  done
}
