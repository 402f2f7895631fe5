#!/bin/sh
# ctest fixture: "start" makes sure the build tree's Wine prefix exists and
# keeps one wineserver alive for the whole run; "stop" ends it. Without a
# persistent server every test pays for a server start and shutdown.
. "$(dirname "$0")/wine-prefix.sh"
# The servers outlive this script, so they must not hold ctest's output pipes.
case "$1" in
  start)
    ensure_wine_prefix || exit 1
    wineserver -p </dev/null >/dev/null 2>&1
    # The first program of a server session starts Wine's own services, which
    # then live as long as the server; start them here, detached from ctest.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 ;;
  stop)
    wineserver -k 2>/dev/null
    exit 0 ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
