#!/usr/bin/env bash
# Builds everything and runs every test under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$USERDATA_ROOT"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
quietly cmake --preset mingw -DUSERDATA_WARNINGS_AS_ERRORS=$werror -DBOOST_DIR="$BOOST_DIR"
cmake --build --preset mingw
ctest --preset mingw
