#!/usr/bin/env bash
# Builds udbench and runs it under Wine: UserData.dll's timings against
# their floors and peers, in one run, printed as Markdown tables.
# Extra arguments go to udbench (for example --batches 25, or --filter Folder).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$USERDATA_ROOT"
cmake --preset mingw -DBOOST_DIR="$BOOST_DIR" >/dev/null
cmake --build --preset mingw --target udbench >/dev/null
USERDATA_WINEPREFIX="$USERDATA_ROOT/build/mingw/wineprefix" \
  exec "$USERDATA_ROOT/cmake/wine-run.sh" "$USERDATA_ROOT/build/mingw/bin/udbench.exe" "$@"
