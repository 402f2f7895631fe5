#!/usr/bin/env bash
# Builds the release configuration and packs it: build/release/
# UserData-<version>-win64.zip (bin/, include/, lib/, lib/cmake/UserData/,
# the binaries stripped) and UserData-<version>-win64-debug.zip (their debug
# files, to unpack beside them).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$USERDATA_ROOT"
quietly cmake --preset release -DBOOST_DIR="$BOOST_DIR"
quietly cmake --build --preset release
cpack --preset release
