#!/bin/sh
# Runs every test: installs what is missing, builds natively (sanitizers) and
# for Windows (MinGW-w64), then runs both test sets through CTest; the
# Windows programs run under Wine on one Xvfb display of their own.
#   scripts/test.sh            all tests
#   KUVEX_BENCH=1 scripts/test.sh   also run the benchmarks first
#   KUVEX_FUZZ_SECONDS=1800 scripts/test.sh   a long fuzz run of new inputs (seconds)
#   KUVEX_SOAK=200 scripts/test.sh  also the 200-game soak of the real exe
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/deps.sh"

JOBS=$(nproc 2>/dev/null || echo 2)
NATIVE="$ROOT/build/native"
WIN="$ROOT/build/win64"

cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$NATIVE" -j "$JOBS"
# The fuzzer: clang's libFuzzer over the record reader and appends, the
# same seeded 20,000 inputs everywhere (new inputs for a time on request).
FUZZ="$ROOT/build/fuzz"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ" -DKUVEX_FUZZ=ON \
    -DKUVEX_FUZZ_SECONDS="${KUVEX_FUZZ_SECONDS:-0}" >/dev/null
cmake --build "$FUZZ" -j "$JOBS"
cmake -S "$ROOT" -B "$WIN" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$WIN" -j "$JOBS"

# One X server and one Wine server for the whole run: each costs seconds.
XVFB_PID=""
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    WINEPREFIX="$WIN/wineprefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$WIN/wineprefix-dpi" wineserver -k 2>/dev/null || true
    WINEPREFIX="$WIN/wineprefix-cp" wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
trap "exit 130" INT TERM
# Always a display of our own, never the caller's: the black-box tests move
# the pointer and read the screen, which on a desktop would be the
# developer's, with other windows over the game's.
unset DISPLAY
for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    sleep 1
    if kill -0 "$XVFB_PID" 2>/dev/null; then
        export DISPLAY=":$n"
        break
    fi
done
if [ -z "$DISPLAY" ]; then
    echo "test.sh: could not start an Xvfb display of its own (:90 to :140)" >&2
    exit 1
fi
export KUVEX_BUILD_DIR="$WIN"

if [ -n "$KUVEX_BENCH" ] && [ -x "$NATIVE/bench_core" ]; then
    "$NATIVE/bench_core" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi

status=0
(cd "$NATIVE" && ctest --output-on-failure) || status=1
(cd "$FUZZ" && ctest --output-on-failure) || status=1
(cd "$WIN" && ctest --output-on-failure) || status=1
exit $status
