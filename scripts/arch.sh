# Sourced by scripts/test, scripts/run and scripts/bench: which architectures this host builds and
# runs, and where each one's build lives.
#   arch_runnable            the architectures whose Wine this host executes ("i686 x86_64" or "x86_64")
#   arch_build_dir ARCH      ARCH's build folder under $build_root (BUILD_DIR, default build/)
#   arch_configure ARCH DIR  configures DIR for ARCH once, with ARCH's cross toolchain
#   arch_use ARCH            exports WINEARCH and WINELOADER and puts our wine wrappers first on PATH
# Debian's `wine` picks the 32-bit loader whenever it is installed, even on a host that cannot execute
# it: scripts/winebin calls the loader named by WINELOADER instead.

ARCH_WINE_LOADER_i686=/usr/lib/wine/wine
ARCH_WINE_LOADER_x86_64=/usr/lib/wine/wine64
ARCH_WINEARCH_i686=win32
ARCH_WINEARCH_x86_64=win64

arch_runnable() {
  local found=
  # 32-bit: the 32-bit server must really start (a kernel without 32-bit support refuses the binary).
  if [ -x "$ARCH_WINE_LOADER_i686" ] && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
    found="i686"
  fi
  if [ -x "$ARCH_WINE_LOADER_x86_64" ] && /usr/lib/wine/wineserver64 --version >/dev/null 2>&1; then
    found="${found:+$found }x86_64"
  fi
  echo "$found"
}

arch_build_dir() {
  echo "$build_root/$1"
}

arch_configure() {
  local arch=$1 dir=$2
  [ -f "$dir/CMakeCache.txt" ] && return 0
  mkdir -p "$dir"
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; return 1; }
}

arch_use() {
  local loader="ARCH_WINE_LOADER_$1" winearch="ARCH_WINEARCH_$1"
  export WINELOADER=${!loader}
  export WINEARCH=${!winearch}
  case ":$PATH:" in
    *":$top/scripts/winebin:"*) ;;
    *) export PATH="$top/scripts/winebin:$PATH" ;;
  esac
}
