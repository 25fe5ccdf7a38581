# Sourced by the benchmarks that run under Wine: builds the given targets of
# the benchmark tree (build/winbench), whose installer carries a payload set of
# the product's full sizes (cut from Wine's own PE files), or the release
# folder named by ZARVO_BENCH_PAYLOADS (laid out as tools/build.sh --payloads
# takes it), and starts Wine on a private display. Sets root, bench and
# payloads (the folder of the set).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ZARVO_BUILD=${ZARVO_BUILD:-$root/build}
bench=$ZARVO_BUILD/winbench

"$root/tools/build.sh"
payloads=${ZARVO_BENCH_PAYLOADS:-$bench/plain}
[ -n "${ZARVO_BENCH_PAYLOADS:-}" ] || "$ZARVO_BUILD/host/payload_bench" --plain-files "$payloads"
cmake -S "$root" -B "$bench" -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DZARVO_MINGW_THREADS=win32 -DZARVO_HOST_BUILD="$ZARVO_BUILD/host" -DZARVO_PAYLOAD_DIR="$payloads" \
    -DZARVO_BENCH=ON >/dev/null
cmake --build "$bench" --target "$@" -j "$(nproc)"

source "$root/tools/wine-env.sh" "$ZARVO_BUILD/wine"
source "$root/tools/xvfb-env.sh"
"$root/tools/wine-prefix.sh" "$ZARVO_BUILD/wine"
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
# Under emulation the absolute times measure the emulator; only ratios measured
# in the same run carry over.
echo "32-bit code: $("$root/tools/wine32.sh" --mode)"
