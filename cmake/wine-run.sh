#!/bin/sh
# Runs a Windows program of this build under Wine, in the build tree's own
# private prefix, quietly and without a display. Used as the cross-compiling
# emulator, so ctest and custom commands go through it.
: "${USERDATA_WINEPREFIX:?USERDATA_WINEPREFIX must name the build tree's Wine prefix}"
export WINEPREFIX="$USERDATA_WINEPREFIX"
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # mono and gecko would otherwise be offered for download on first boot.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
fi
exec wine "$@"
