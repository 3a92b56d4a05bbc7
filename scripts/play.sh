#!/bin/sh
# Builds Kuvex 2002 for Windows and starts it under Wine.
#   scripts/play.sh            build, then play in build/play/
#   scripts/play.sh <folder>   play the kuvex.exe and ball.bmp in that folder
#                              (an unpacked release, say), without building
# Without a display (no DISPLAY), it runs the game under Xvfb instead, saves a
# screenshot once the game's window has drawn (kuvex-screenshot.png beside the
# game), says where it is, and fails if the window never drew.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WIN="$ROOT/build/win64"
: "${KUVEX_WINEPREFIX:=${KUVEX_BUILD_DIR:-$WIN}/wineprefix}"
export KUVEX_WINEPREFIX

if [ -n "$1" ]; then
    GAME=$(cd "$1" && pwd)
else
    "$ROOT/scripts/deps.sh"
    cmake -S "$ROOT" -B "$WIN" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$WIN" -j "$(nproc 2>/dev/null || echo 2)" --target kuvex kuvex_art
    # The game keeps kuvex.ini and kuvex.rec beside the exe and reads ball.bmp
    # from the current directory: give it a folder of its own.
    GAME="$ROOT/build/play"
    mkdir -p "$GAME"
    cp "$WIN/kuvex.exe" "$WIN/ball.bmp" "$GAME/"
fi
cd "$GAME"
# The game finds its folder from its command line: give it the full path, as
# Explorer does (a bare "./kuvex.exe" names no folder, and the profile
# functions then put kuvex.ini in C:\windows).
EXE="Z:$(printf '%s' "$GAME/kuvex.exe" | tr / '\\')"

if [ -n "$DISPLAY" ]; then
    exec "$ROOT/scripts/wine-run.sh" "$EXE"
fi

# No display: play it headless until its window has drawn, then take a picture.
SHOT="$GAME/kuvex-screenshot.png"
LIMIT=${KUVEX_SHOT_SECONDS:-300}
for n in $(seq 150 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    sleep 1
    kill -0 "$XVFB_PID" 2>/dev/null && break
done
export DISPLAY=":$n"
cleanup() {
    WINEPREFIX="$KUVEX_WINEPREFIX" wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
START=$(date +%s)
"$ROOT/scripts/wine-run.sh" explorer /desktop=Kuvex,1024x768 "$EXE" &
# A first run spends its first half minute or more making the Wine prefix.
# The board's background (default 0,200,0) on the screen means the window
# has drawn; a moment more lets the opening cascade settle.
# A background chosen in Options counts too: "back" in kuvex.ini starts with
# its blue, green and red bytes.
BACK=$(sed -n 's/^back=\([0-9A-Fa-f]\{6\}\).*/\1/p' "$GAME/kuvex.ini" 2>/dev/null | tr a-f A-F)
BACK=${BACK:-00C800}
COLOURS="#00C800|#$(echo "$BACK" | cut -c5-6)$(echo "$BACK" | cut -c3-4)$(echo "$BACK" | cut -c1-2)"
rm -f "$SHOT"
while :; do
    if import -window root "$SHOT" 2>/dev/null &&
        convert "$SHOT" -format %c histogram:info:- | grep -qE "$COLOURS"; then
        sleep 1
        import -window root "$SHOT"
        break
    fi
    if [ $(($(date +%s) - START)) -ge "$LIMIT" ]; then
        echo "The game's window did not draw within $LIMIT s; the last picture of the screen: $SHOT" >&2
        exit 1
    fi
    sleep 0.5
done
echo "No display here: the game ran under Xvfb. Screenshot after $(($(date +%s) - START)) s: $SHOT"
