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
# A prefix of its own: the tests' prefix is theirs to make and remake, and a
# game played there would leave its settings for them.
: "${KUVEX_WINEPREFIX:=$ROOT/build/wineprefix-play}"
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

# No display: play it headless until its window shows the board, then take a
# picture of that window alone.
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
READY="$KUVEX_WINEPREFIX/.kuvex-ready"
cleanup() {
    # A first run's prefix is being made: stopping Wine now would leave it
    # half made. Give the set-up time to finish first.
    waited=0
    while [ ! -f "$READY" ] && [ -d "$KUVEX_WINEPREFIX" ] && [ "$waited" -lt 120 ]; do
        sleep 1
        waited=$((waited + 1))
    done
    WINEPREFIX="$KUVEX_WINEPREFIX" wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
trap "exit 130" INT TERM
BEGUN=$(date +%s)
START=$BEGUN
"$ROOT/scripts/wine-run.sh" "$EXE" &
rm -f "$SHOT"
middle() {
    convert "$SHOT" -gravity center -crop 60%x60%+0+0 +repage "$@"
}
shown() {
    # The game's window, found by its title; a picture of it counts once the
    # middle of the board shows the background and more than 60 colours:
    # shaded pieces bring hundreds, an empty board or a black screen a few.
    WINDOW=$(xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "Kuvex 2002 .*/\1/p' | head -n 1)
    [ -n "$WINDOW" ] && import -window "$WINDOW" "$SHOT" 2>/dev/null || return 1
    # The board's background colour: "back" in kuvex.ini starts with its
    # blue, green and red bytes. The game keeps that file in AppData when it
    # chose to (looked for each time: the game chooses as it starts), else
    # beside itself; default 0,200,0.
    INI="$GAME/kuvex.ini"
    for moved in "$KUVEX_WINEPREFIX"/drive_c/users/*/AppData/Roaming/"Kuvex 2002"/kuvex.ini; do
        [ -f "$moved" ] && INI="$moved"
    done
    BACK=$(sed -n 's/^back=\([0-9A-Fa-f]\{6\}\).*/\1/p' "$INI" 2>/dev/null | tr a-f A-F)
    BACK=${BACK:-00C800}
    COLOUR="#$(echo "$BACK" | cut -c5-6)$(echo "$BACK" | cut -c3-4)$(echo "$BACK" | cut -c1-2)"
    [ "$(middle -format %k info:)" -gt 60 ] && middle -format %c histogram:info:- | grep -q "$COLOUR"
}
while :; do
    if shown; then
        sleep 1 # the opening cascade settles
        import -window "$WINDOW" "$SHOT"
        break
    fi
    NOW=$(date +%s)
    # Making a first run's prefix is Wine's time, not the game's: the limit
    # counts from a ready prefix (and the making itself has ten minutes).
    if [ ! -f "$READY" ] && [ $((NOW - BEGUN)) -lt 600 ]; then START=$NOW; fi
    if [ $((NOW - START)) -ge "$LIMIT" ]; then
        echo "The game's window did not show the board within $LIMIT s; the last picture: $SHOT" >&2
        echo "The background looked for: ${COLOUR:-none, no game window was found} (from ${INI:-no kuvex.ini})" >&2
        # What stood on the screen, for the one who reads the failure.
        echo "Windows up:" >&2
        xwininfo -root -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\([^"][^"]*\)".*/  \1/p' >&2
        exit 1
    fi
    sleep 0.5
done
echo "No display here: the game ran under Xvfb. Screenshot of its window after $(($(date +%s) - START)) s: $SHOT"
