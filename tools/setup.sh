#!/usr/bin/env bash
# Puts everything the build needs on a Debian 12 machine, idempotently:
# the cross toolchain, Wine, the test dependencies and Boost's sources.
# Sourced by tools/run.sh and tools/test.sh; safe to run on its own.
set -euo pipefail

USERDATA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
USERDATA_DEPS=${USERDATA_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/userdata-deps}
BOOST_VERSION=1.81
BOOST_DIR=$USERDATA_DEPS/boost-$BOOST_VERSION

packages=(
  cmake ninja-build
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
  wine wine64
  doctest-dev nlohmann-json3-dev python3 python3-jsonschema
  wixl dpkg-dev xz-utils openssl osslsigncode
  clang-16 lld-16 llvm-16 libwine-dev
)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Runs a command without showing its output, unless it fails: then prints
# everything it said to stderr and returns its status.
quietly() {
  local output status=0
  output=$("$@" 2>&1) || status=$?
  [ "$status" -eq 0 ] || printf '%s\n' "$output" >&2
  return "$status"
}

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  echo "setup: installing ${missing//$'\n'/ }" >&2
  sudo_if_needed apt-get update -qq
  # shellcheck disable=SC2086
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
}

# The machine's own binary package sources, as one-line source-package
# entries: the same URIs, suites, components and keys, of type deb-src. Read
# from the deb822 .sources files and the classic sources.list alike, so a
# mirror or a local proxy that the machine is set up with is used as it is.
source_entries_of_machine() {
  local classic
  for classic in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$classic" ] || continue
    sed -n -E 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$classic"
  done
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk '
      function flush(  n, m, suites, uri, i, j, options) {
        if (types ~ /(^| )deb( |$)/ && enabled != "no") {
          options = signedby != "" ? "[signed-by=" signedby "] " : ""
          n = split(suitelist, suites, " ")
          m = split(uris, uri, " ")
          for (j = 1; j <= m; j++)
            for (i = 1; i <= n; i++) print "deb-src " options uri[j] " " suites[i] " " components
        }
        types = uris = suitelist = components = signedby = enabled = ""
      }
      /^[[:space:]]*#/ { next }
      /^[[:space:]]*$/ { flush(); next }
      { key = tolower($1); sub(/^[^:]*:[[:space:]]*/, ""); value = $0 }
      key == "types:" { types = value } key == "uris:" { uris = value }
      key == "suites:" { suitelist = value } key == "components:" { components = value }
      key == "signed-by:" { signedby = value } key == "enabled:" { enabled = value }
      END { flush() }' "$file"
  done
}

enable_deb_src() {
  local list=/etc/apt/sources.list.d/userdata-deb-src.list
  [ -f "$list" ] && return 0
  echo "setup: enabling source packages from the machine's own package sources" >&2
  local entries
  entries=$(source_entries_of_machine | sort -u)
  if [ -z "$entries" ]; then
    echo "setup: no binary package source found in /etc/apt to take source packages from" >&2
    return 1
  fi
  printf '%s\n' "$entries" | sudo_if_needed tee "$list" >/dev/null
  # An entry of an earlier set-up, written with a fixed host.
  sudo_if_needed rm -f /etc/apt/sources.list.d/userdata-deb-src.sources
  sudo_if_needed apt-get update -qq
}

# Boost ships as a modular source tree; the build needs only the public
# headers of every library and Boost.Filesystem's sources, compiled by the
# project's own MinGW toolchain.
fetch_boost_sources() {
  [ -f "$BOOST_DIR/.complete" ] && return 0
  enable_deb_src
  echo "setup: fetching and unpacking Debian's boost$BOOST_VERSION sources" >&2
  local work
  work=$(mktemp -d)
  # In a subshell, so that its EXIT trap removes the scratch folder however
  # the work ends, without replacing a trap of the script that sources this.
  (
    trap 'rm -rf "$work"' EXIT
    trap 'exit 130' INT TERM HUP
    cd "$work"
    quietly apt-get source --download-only "boost$BOOST_VERSION"
    tar -xJf "$work"/boost"$BOOST_VERSION"_*.orig.tar.xz -C "$work" \
        --wildcards 'boost/libs/*/include/*' 'boost/libs/filesystem/src/*'
    rm -rf "$BOOST_DIR"
    mkdir -p "$BOOST_DIR/include" "$BOOST_DIR/filesystem"
    for inc in "$work"/boost/libs/*/include; do
      cp -a "$inc"/. "$BOOST_DIR/include/"
    done
    cp -a "$work/boost/libs/filesystem/src" "$BOOST_DIR/filesystem/"
    touch "$BOOST_DIR/.complete"
  )
}

install_packages
fetch_boost_sources
export USERDATA_ROOT USERDATA_DEPS BOOST_DIR

# Builds one program of the project and runs it under Wine in the build
# tree's prefix, handing it the remaining arguments. The build is quiet
# unless it fails; then its output is shown and nothing runs.
run_built_program() {
  local target=$1
  shift
  cd "$USERDATA_ROOT"
  quietly cmake --preset mingw -DBOOST_DIR="$BOOST_DIR"
  quietly cmake --build --preset mingw --target "$target"
  USERDATA_WINEPREFIX="$USERDATA_ROOT/build/mingw/wineprefix" \
    exec "$USERDATA_ROOT/cmake/wine-run.sh" "$USERDATA_ROOT/build/mingw/bin/$target.exe" "$@"
}
