#!/bin/sh
# Builds Kuvex 2002 for Windows and starts it under Wine.
# Without a display (no DISPLAY), it runs the game under Xvfb instead, saves
# a screenshot once the first game has settled, and says where it is.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/deps.sh"

WIN="$ROOT/build/win64"
cmake -S "$ROOT" -B "$WIN" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$WIN" -j "$(nproc 2>/dev/null || echo 2)" --target kuvex kuvex_art

# The game keeps kuvex.ini and kuvex.rec beside the exe and reads ball.bmp
# from the current directory: give it a folder of its own.
GAME="$ROOT/build/play"
mkdir -p "$GAME"
cp "$WIN/kuvex.exe" "$WIN/ball.bmp" "$GAME/"
cd "$GAME"
export KUVEX_WINEPREFIX="$WIN/wineprefix"

if [ -n "$DISPLAY" ]; then
    exec "$ROOT/scripts/wine-run.sh" ./kuvex.exe
fi

# No display: play it headless long enough to take a picture.
SHOT="$GAME/kuvex-screenshot.png"
for n in $(seq 150 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    sleep 1
    kill -0 "$XVFB_PID" 2>/dev/null && break
done
export DISPLAY=":$n"
"$ROOT/scripts/wine-run.sh" explorer /desktop=Kuvex,1024x768 ./kuvex.exe &
GAME_PID=$!
sleep 8
import -window root "$SHOT"
WINEPREFIX="$KUVEX_WINEPREFIX" wineserver -k 2>/dev/null || true
kill "$GAME_PID" "$XVFB_PID" 2>/dev/null || true
echo "No display here: the game ran under Xvfb. Screenshot after the opening cascade: $SHOT"
