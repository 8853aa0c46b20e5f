#!/usr/bin/env bash
# Fuzzes the markup renderer, the skin engine and the animation control: builds lyrant_fuzz, starts
# the private harness of scripts/test (Wine prefix, display), runs every hostile and mutated input
# under the driver's watchdog, resumes after an input that ends the process, and prints the totals.
# Not part of the test command.
#   tests/fuzz/run_fuzz.sh [markup|skin|clip|both|all] [mutations] [seed]   (both: markup and skin;
#   all, the default: the three)
# LYRANT_ARCH=i686 or x86_64 picks the build (default: the first the host runs).
# Logs: build/<arch>/fuzz-run/<kind>.log. Exit status 0 only with no crash, hang, memory runaway or
# exception.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build_root=${BUILD_DIR:-$top/build}
kinds=${1:-all}
mutations=${2:-2000}
seed=${3:-23}
[ "$kinds" = both ] && kinds="markup skin"
[ "$kinds" = all ] && kinds="markup skin clip"
# shellcheck source=../../scripts/arch.sh
. "$top/scripts/arch.sh"

# LYRANT_ARCH=i686 or x86_64 picks the build, as for scripts/test (emulated where the host needs it:
# the watchdog's processor-time limit then means less); else the first the host runs natively.
if [ -n "${LYRANT_ARCH:-}" ]; then
  arch=$LYRANT_ARCH
  [ -n "$(arch_how "$arch")" ] || { echo "fuzz: this host does not run $arch" >&2; exit 1; }
  arch_use "$arch"
else
  arch=$(arch_native_first) || { echo "fuzz: this host runs no Wine architecture natively" >&2; exit 1; }
  arch_use "$arch" native
fi
build=$(arch_build_dir "$arch")
arch_configure "$arch" "$build" || exit 1
cmake --build "$build" -j"${BUILD_JOBS:-3}" --target lyrant_fuzz >"$build/fuzz-build.log" 2>&1 \
  || { tail -30 "$build/fuzz-build.log"; exit 1; }

# shellcheck source=../../scripts/harness.sh
. "$top/scripts/harness.sh"
trap 'harness_stop >/dev/null 2>&1' EXIT
run="$build/fuzz-run"
harness_start "$run" 2>/dev/null || exit 1

status=0
for kind in $kinds; do
  log="$run/$kind.log"
  : >"$log"
  first=0
  # The driver ends itself on a crash, hang or memory runaway and names the input; go on after it.
  while :; do
    (cd "$build/tests" && wine lyrant_fuzz.exe "$kind" "$first" "$mutations" "$seed") >>"$log" 2>/dev/null
    last=$(grep -E '^(crash|hang|memory) ' "$log" | tail -1)
    if grep -q "^summary $kind " "$log" || [ -z "$last" ]; then break; fi
    stopped=$(echo "$last" | awk '{print $2}')
    [ "$stopped" -ge "$first" ] || break
    first=$((stopped + 1))
  done
  inputs=$(grep -c '^input ' "$log")
  crashes=$(grep -c '^crash ' "$log")
  hangs=$(grep -c '^hang ' "$log")
  runaways=$(grep -c '^memory ' "$log")
  exceptions=$(grep -c '^exception ' "$log")
  slowest=$(grep '^input ' "$log" | sort -k4 -g | tail -1 | awk '{print $3, $4 " ms"}')
  slowest_cpu=$(grep '^input ' "$log" | sort -k6 -g | tail -1 | awk '{print $3, $6 " ms"}')
  peak=$(grep '^input ' "$log" | sort -k5 -g | tail -1 | awk '{print $5 " MB (" $3 ")"}')
  echo "fuzz $kind ($arch): inputs $inputs, crashes $crashes, hangs $hangs, memory runaways $runaways," \
    "uncaught exceptions $exceptions; slowest $slowest wall, $slowest_cpu processor; peak commit $peak"
  grep -E '^(crash|hang|memory|exception) ' "$log" | head -20
  [ "$kind" = skin ] && grep '^skinned ' "$log" | tail -1
  [ "$kind" = clip ] && grep '^opened ' "$log" | tail -1
  [ $((crashes + hangs + runaways + exceptions)) -eq 0 ] || status=1
done
exit $status
