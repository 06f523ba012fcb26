#!/bin/sh
# Runs a 64-bit Windows program under Wine as a Japanese system (ANSI code
# page 932), in a Wine prefix of the build's own, made on first use:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#   wine-run.sh PREFIX --end-all    makes the prefix if need be and ends
#                                   every Wine process of it
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
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Tests run side by side: one of them makes the prefix, the others wait.
mkdir -p "$prefix"
exec 9>"$prefix/.velbrin-lock"
flock 9
if [ ! -f "$prefix/system.reg" ]; then
    # wineboot's status reports the 32-bit half, which these machines lack.
    # The server writes the registry when it ends, which it does a few
    # seconds after wineboot's last process.
    "$wine" wineboot -i >/dev/null 2>&1
    [ -z "$wineserver" ] || timeout 120 "$wineserver" -w 2>/dev/null
    if [ ! -f "$prefix/system.reg" ]; then
        echo "wine-run: Wine cannot make its prefix in $prefix; the Windows test is skipped" >&2
        exit 77
    fi
fi
flock -u 9
exec 9>&-
if [ "$1" = "--end-all" ]; then
    [ -z "$wineserver" ] || "$wineserver" -k 2>/dev/null
    exit 0
fi
# One server for the whole test run: it stays a minute after its last program,
# and so do the prefix's system processes (services, devices, the desktop).
# They are started here with their output going nowhere: started by the
# program they would hold its output pipe open, and its reader would wait
# for that minute.
[ -n "$wineserver" ] && "$wineserver" -p60 </dev/null >/dev/null 2>&1
"$wine" wineboot </dev/null >/dev/null 2>&1
exec "$wine" "$@"
