#!/bin/sh
# Installs the build into a fresh prefix, builds the consumer against it
# with the same toolchain, and runs it under Wine with the prefix's bin/ on
# the Windows search path.
set -eu
build_dir=$1 source_dir=$2
work=$build_dir/consumer
rm -rf "$work"
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
cmake -S "$source_dir/tests/consumer" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DUserData_DIR="$work/prefix/lib/cmake/UserData" >/dev/null
cmake --build "$work/build" >/dev/null
WINEPATH="Z:$(echo "$work/prefix/bin" | tr / '\\')" \
  USERDATA_WINEPREFIX="$build_dir/wineprefix" "$source_dir/cmake/wine-run.sh" "$work/build/consumer.exe"
