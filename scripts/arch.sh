# Sourced by scripts/setup, scripts/test, scripts/run and scripts/bench: which architectures this host
# builds and runs, how it runs each, and where each one's build lives.
#   arch_native ARCH         true when this host executes ARCH's Wine natively
#   arch_how ARCH            how this host runs ARCH's programs: "native", "emulated" (i686 only: 32-bit
#                            Wine under qemu-i386, scripts/emulation.sh) or nothing when it cannot
#   arch_runnable            the architectures this host runs, natively or emulated ("i686 x86_64")
#   arch_native_first        i686 where this host runs it natively, else x86_64 (benchmarks and the
#                            fuzz run measure time, so they stay on native code)
#   arch_build_dir ARCH      ARCH's build folder under $build_root (BUILD_DIR, default build/)
#   arch_configure ARCH DIR  configures DIR for ARCH once, with ARCH's cross toolchain
#   arch_use ARCH [HOW]      exports WINEARCH, WINELOADER and ARCH_HOW (HOW, else arch_how's answer), puts
#                            our wine wrappers first on PATH
# LYRANT_I686_RUN picks how i686 runs: "auto" (the default: natively where the host executes 32-bit
# code, else emulated), "native" or "emulated" (also where the host could run it natively).
# Debian's `wine` picks the 32-bit loader whenever it is installed, even on a host that cannot execute
# it: scripts/winebin calls the loader named by WINELOADER instead.

ARCH_WINE_LOADER_i686=/usr/lib/wine/wine
ARCH_WINE_LOADER_x86_64=/usr/lib/wine/wine64
ARCH_WINE_SERVER_i686=/usr/lib/wine/wineserver32
ARCH_WINE_SERVER_x86_64=/usr/lib/wine/wineserver64
ARCH_WINEARCH_i686=win32
ARCH_WINEARCH_x86_64=win64

# shellcheck source=emulation.sh
. "$(dirname "${BASH_SOURCE[0]}")/emulation.sh"

# The server must really start: a kernel or processor without 32-bit support refuses the binary.
arch_native() {
  local loader="ARCH_WINE_LOADER_$1" server="ARCH_WINE_SERVER_$1"
  [ -x "${!loader}" ] && "${!server}" --version >/dev/null 2>&1
}

arch_how() {
  local arch=$1
  if [ "$arch" = i686 ]; then
    case ${LYRANT_I686_RUN:-auto} in
      native) arch_native i686 && echo native ;;
      emulated) [ -x "$ARCH_WINE_LOADER_i686" ] && emulation_qemu >/dev/null && echo emulated ;;
      *) if arch_native i686; then echo native
         elif [ -x "$ARCH_WINE_LOADER_i686" ] && emulation_qemu >/dev/null; then echo emulated
         fi ;;
    esac
  else
    arch_native "$arch" && echo native
  fi
  return 0
}

arch_runnable() {
  local arch found=
  for arch in i686 x86_64; do
    [ -n "$(arch_how "$arch")" ] && found="${found:+$found }$arch"
  done
  echo "$found"
}

arch_native_first() {
  local arch
  for arch in i686 x86_64; do
    arch_native "$arch" && { echo "$arch"; return 0; }
  done
  return 1
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
  ARCH_HOW=${2:-$(arch_how "$1")}
  export ARCH_HOW
  case ":$PATH:" in
    *":$top/scripts/winebin:"*) ;;
    *) export PATH="$top/scripts/winebin:$PATH" ;;
  esac
}
