#!/bin/sh
# Runs a 64-bit Windows program under Wine as a Japanese system (ANSI code
# page 932), in a Wine prefix of the build's own, made on first use:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# Exits with 77, saying why, when Wine cannot start here.
prefix=$1
shift
wine=/usr/lib/wine/wine64
if [ ! -x "$wine" ]; then
    wine=$(command -v wine64 || command -v wine || true)
fi
if [ -z "$wine" ]; then
    echo "wine-run: Wine is not installed; the Windows test is skipped" >&2
    exit 77
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    # wineboot's status reports the 32-bit half, which these machines lack.
    "$wine" wineboot -i >/dev/null 2>&1
    if [ ! -f "$prefix/system.reg" ]; then
        echo "wine-run: Wine cannot make its prefix in $prefix; the Windows test is skipped" >&2
        exit 77
    fi
fi
# One server for the whole test run: it stays a minute after its last program.
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] && "$wineserver" -p60 2>/dev/null
exec "$wine" "$@"
