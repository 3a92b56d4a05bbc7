#!/bin/sh
# Runs one Windows program under Wine the way every test and the play command
# do: Russian locale (ANSI code page 1251), quiet, a throw-away 64-bit prefix
# in the build folder, and a display (Xvfb when none is set).
# KUVEX_WINEPREFIX names the prefix; by default it is ./wineprefix of the
# current directory's build tree.
set -e
: "${KUVEX_WINEPREFIX:=${KUVEX_BUILD_DIR:-$PWD}/wineprefix}"
export WINEPREFIX="$KUVEX_WINEPREFIX"
export WINEARCH=win64
export WINEDEBUG=-all
export LANG=ru_RU.UTF-8
export LC_ALL=ru_RU.UTF-8
# Keep Wine from asking to install Mono or Gecko into a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;${WINEDLLOVERRIDES:-}"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
# Xvfb has no window manager, and Wine waits 2 s for one at every hide of a
# window it hands to one (each closed dialog); unmanaged windows need no
# wait, and Wine then draws their frames and captions itself.
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w || true
fi

# Wine's own fonts (System, Marlett, Tahoma, ...) come in a separate package
# here and Wine does not find them; without them the system font is some
# TrueType stand-in, text is measured unlike on Windows, and the caption
# buttons show letters. The Fonts folder of the prefix is always searched.
if [ -d /usr/share/wine/fonts ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/vgasys.fon" ]; then
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi

if [ -n "$DISPLAY" ]; then
    exec wine "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
