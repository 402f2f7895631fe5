#!/usr/bin/env bash
# Builds the release configuration and packs it: build/release/
# UserData-<version>-win64.zip (bin/, include/, lib/, lib/cmake/UserData/,
# the binaries stripped) and UserData-<version>-win64-debug.zip (their debug
# files, to unpack beside them).
#
#   tools/package.sh [--sign FILE.pfx [--timestamp URL]]
#
# --sign gives every .dll and .exe of the release ZIP an Authenticode SHA-256
# signature made with the certificate and key in FILE.pfx, whose password is
# taken from USERDATA_SIGN_PASSWORD (unset means empty). --timestamp has the
# time-stamp authority at URL (RFC 3161) countersign each signature. A
# certificate file that cannot be read or opened stops the run before
# anything is built; a signature that fails leaves no ZIP.
set -euo pipefail

usage() {
  echo "usage: tools/package.sh [--sign FILE.pfx [--timestamp URL]]" >&2
  exit 2
}
certificate= timestamp=
while [ $# -gt 0 ]; do
  case $1 in
    --sign) [ $# -ge 2 ] || usage; certificate=$2; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ -z "$timestamp" ] || [ -n "$certificate" ] || usage

source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

source "$USERDATA_ROOT/tools/signing.sh"
[ -z "$certificate" ] || sign_with "$certificate" "$timestamp"

cd "$USERDATA_ROOT"
quietly cmake --preset release -DBOOST_DIR="$BOOST_DIR"
quietly cmake --build --preset release
# A package that fails half-way must not leave an earlier one looking like it.
rm -f build/release/UserData-*-win64.zip build/release/UserData-*-win64-debug.zip
cpack --preset release
