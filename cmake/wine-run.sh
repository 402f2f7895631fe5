#!/bin/sh
# Runs a Windows program of this build under Wine, in the build tree's own
# private prefix, quietly and without a display. Used as the cross-compiling
# emulator, so ctest and custom commands go through it.
. "$(dirname "$0")/wine-prefix.sh"
ensure_wine_prefix || exit 1
exec wine "$@"
