#!/bin/sh
# Runs one Windows program under Wine the way every test and the play command
# do: Russian locale (ANSI code page 1251) unless told otherwise, quiet, a throw-away 64-bit prefix
# in the build folder, and a display (Xvfb when none is set).
# KUVEX_WINEPREFIX names the prefix; by default it is ./wineprefix of the
# current directory's build tree. KUVEX_DPI sets the prefix's resolution.
set -e
: "${KUVEX_WINEPREFIX:=${KUVEX_BUILD_DIR:-$PWD}/wineprefix}"
export WINEPREFIX="$KUVEX_WINEPREFIX"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# KUVEX_LANG runs it under another locale instead (C.UTF-8: code page 1252).
# The Windows tests refuse a run under another code page than KUVEX_ACP:
# the Russian locale's is 1251.
[ -n "$KUVEX_LANG" ] || export KUVEX_ACP="${KUVEX_ACP:-1251}"
export LANG="${KUVEX_LANG:-ru_RU.UTF-8}"
export LC_ALL="$LANG"
# Keep Wine from asking to install Mono or Gecko into a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;${WINEDLLOVERRIDES:-}"

# A prefix is ready once its whole set-up below has run. A set-up stopped
# part-way (the first run interrupted) leaves a prefix that looks whole and
# fails to load kernel32.dll: one that this script began and never finished
# is made anew. One process sets up at a time; the others wait for it.
READY="$WINEPREFIX/.kuvex-ready"
BOOTING="$WINEPREFIX/.kuvex-booting"
if [ ! -f "$READY" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    if [ ! -f "$READY" ]; then
        [ -f "$BOOTING" ] && rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        touch "$BOOTING"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
        # Xvfb has no window manager, and Wine waits 2 s for one at every hide
        # of a window it hands to one (each closed dialog); unmanaged windows
        # need no wait, and Wine then draws their frames and captions itself.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        wineserver -w || true
        # Wine's own fonts (System, Marlett, Tahoma, ...) come in a separate
        # package here and Wine does not find them; without them the system
        # font is some TrueType stand-in, text is measured unlike on Windows,
        # and the caption buttons show letters. The prefix's Fonts folder is
        # always searched.
        if [ -d /usr/share/wine/fonts ]; then
            cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        fi
        if grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null &&
            [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
            touch "$READY"
            rm -f "$BOOTING"
        fi
    fi
    exec 9>&-
fi

# The screen's resolution the prefix reports from this run on; a process
# started later reads it. A run at a resolution that was not applied would
# test 96 dpi twice and pass: fail instead.
if [ -n "$KUVEX_DPI" ]; then
    if ! wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KUVEX_DPI" /f >/dev/null 2>&1; then
        echo "wine-run.sh: could not set the resolution to $KUVEX_DPI dpi in $WINEPREFIX" >&2
        exit 1
    fi
fi

# A program that fails says so with its exit code and the run's code page and
# resolution: one may end without a word (Wine prints none of its own errors
# here), and a caller that runs it more than once is told which run it was.
status=0
if [ -n "$DISPLAY" ]; then
    wine "$@" || status=$?
else
    xvfb-run -a -s "-screen 0 1024x768x24" wine "$@" || status=$?
fi
if [ "$status" -ne 0 ]; then
    echo "wine-run.sh: $(basename "$1") ended with exit code $status (code page ${KUVEX_ACP:-of $LANG}, ${KUVEX_DPI:-96} dpi)" >&2
fi
exit "$status"
