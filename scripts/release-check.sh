#!/bin/sh
# Makes the release zip with CPack and checks it as a player gets it: exactly
# its three files; kuvex.exe stripped, importing only system libraries and
# carrying its version resource and manifest; unpacked afresh and started
# without a display, it draws the board (a screenshot of its window whose
# background colour is there), also on a black background, and writes its
# default settings beside itself.
# Run from the Windows build folder: scripts/release-check.sh <cpack>
set -e
CPACK=${1:-cpack}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$PWD/release-check
fail() {
    echo "release check: $*" >&2
    exit 1
}
rm -rf "$OUT"
mkdir -p "$OUT/unpacked"
"$CPACK" -G ZIP -B "$OUT" >/dev/null
ZIP=$(ls "$OUT"/kuvex-2002-*-win64.zip)
(cd "$OUT/unpacked" && cmake -E tar xf "$ZIP")
EXE="$OUT/unpacked/kuvex.exe"
echo "package: $(basename "$ZIP"), $(wc -c <"$ZIP") bytes; kuvex.exe $(wc -c <"$EXE") bytes"

[ "$(ls "$OUT/unpacked" | tr '\n' ' ')" = "ball.bmp how-to-play.txt kuvex.exe " ] ||
    fail "the zip holds $(ls "$OUT/unpacked" | tr '\n' ' ')"
cmp -s "$OUT/unpacked/ball.bmp" ball.bmp || fail "ball.bmp differs from the build's"
! x86_64-w64-mingw32-objdump -h "$EXE" | grep -q '\.debug' || fail "kuvex.exe carries debug sections"
DLLS=$(x86_64-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
[ "$DLLS" = "COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL SHLWAPI.DLL USER32.DLL " ] ||
    fail "kuvex.exe imports $DLLS"
grep -q 'Microsoft.Windows.Common-Controls' "$EXE" || fail "no manifest asking for common controls 6"
LC_ALL=C grep -qaP 'K\x00u\x00v\x00e\x00x\x00 \x002\x000\x000\x002\x00' "$EXE" || fail "no version resource"

# The first screen of the unpacked game, as scripts/play.sh shows it to a
# player without a display; it fails when the window never draws.
env -u DISPLAY KUVEX_SHOT_SECONDS=60 KUVEX_WINEPREFIX="${KUVEX_BUILD_DIR:-$ROOT/build/win64}/wineprefix" \
    "$ROOT/scripts/play.sh" "$OUT/unpacked"
SHOT="$OUT/unpacked/kuvex-screenshot.png"
COLOURS=$(convert "$SHOT" -format %k info:)
convert "$SHOT" -format %c histogram:info:- | grep -q "#00C800" || fail "no background colour in $SHOT"
# Shaded pieces bring hundreds of colours; an empty board a handful.
[ "$COLOURS" -gt 100 ] || fail "only $COLOURS colours in $SHOT: no pieces drawn"
printf '[Kuvex]\r\nanim=50\r\ngamma=6\r\nsatur=2\r\nname=\310\355\352\356\343\355\350\362\356\r\nback=00C80000C8\r\n' |
    cmp -s - "$OUT/unpacked/kuvex.ini" || fail "the first start did not write the default settings"
# A black background on a first run (a Wine prefix still being made): the
# black screen before the game draws must not pass for the board.
printf '[Kuvex]\r\nback=0000000000\r\n' >"$OUT/unpacked/kuvex.ini"
rm -f "$SHOT"
env -u DISPLAY KUVEX_SHOT_SECONDS=90 KUVEX_WINEPREFIX="$OUT/fresh-prefix" "$ROOT/scripts/play.sh" "$OUT/unpacked"
DARK=$(convert "$SHOT" -gravity center -crop 60%x60%+0+0 +repage -format %k info:)
# The game's window alone: 450 by 480 pixels, made square.
SIZE=$(identify -format '%w %h' "$SHOT")
[ "${SIZE% *}" -ge 400 ] && [ "${SIZE% *}" -le 480 ] && [ "${SIZE#* }" -ge 400 ] && [ "${SIZE#* }" -le 500 ] ||
    fail "$SHOT is $SIZE pixels: not the game's window"
[ "$DARK" -gt 60 ] || fail "only $DARK colours in the middle of $SHOT on a black background: no pieces drawn"
echo "release check passed: $SHOT, $COLOURS colours; on black, $DARK in the middle of the board"
