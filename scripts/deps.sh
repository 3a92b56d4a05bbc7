#!/bin/sh
# Installs the Debian packages the build, the game and the tests need, only
# when something is missing, and makes the Russian locale that gives Wine
# the Windows-1251 ANSI code page.
set -e

PKGS="cmake make g++ clang libclang-rt-dev python3 googletest libgtest-dev libbenchmark-dev
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
wine wine64 fonts-wine xvfb xauth x11-utils imagemagick locales zip unzip e2fsprogs"

missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# Russian for the game (code page 1251); Chinese for the tests of a system
# whose code page takes two bytes a letter (936).
for loc in ru_RU zh_CN; do
    if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8\$"; then
        echo "Generating the $loc.UTF-8 locale"
        $SUDO sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
        grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen >/dev/null
    fi
done
