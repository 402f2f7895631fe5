#!/usr/bin/env bash
# Builds the library and runs udinfo on the embedded default product.
# Extra arguments go to udinfo (for example --json, or --config FILE).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$USERDATA_ROOT"
cmake --preset mingw -DBOOST_DIR="$BOOST_DIR" >/dev/null
cmake --build --preset mingw --target udinfo >/dev/null
USERDATA_WINEPREFIX="$USERDATA_ROOT/build/mingw/wineprefix" \
  exec "$USERDATA_ROOT/cmake/wine-run.sh" "$USERDATA_ROOT/build/mingw/bin/udinfo.exe" "$@"
