#!/bin/sh
# Packs the build with cpack, unpacks the release ZIP into an empty folder,
# checks that the DLL in it is small and has no debug sections, builds the
# consumer against the unpacked package with the same toolchain, and runs it
# under Wine with the package's bin/ on the Windows search path.
set -eu
build_dir=$1 source_dir=$2 objdump=$3 answers=$4
work=$build_dir/consumer
rm -rf "$work"
mkdir -p "$work/package" "$work/prefix"
(cd "$build_dir" && cpack -B "$work/package" >/dev/null)
zip=$(ls "$work"/package/UserData-*-win64.zip)
(cd "$work/prefix" && cmake -E tar xf "$zip")
dll=$work/prefix/bin/UserData.dll
size=$(wc -c <"$dll")
if [ "$size" -ge 1572864 ]; then echo "consumer: $dll is $size bytes, not under 1.5 MB" >&2; exit 1; fi
if "$objdump" -h "$dll" | grep -q '\.debug_'; then echo "consumer: $dll has debug sections" >&2; exit 1; fi
ls "$work"/package/UserData-*-win64-debug.zip >/dev/null
[ -f "$work/prefix/lib/UserData.lib" ] || { echo "consumer: the package has no lib/UserData.lib" >&2; exit 1; }
cmake -S "$source_dir/tests/consumer" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DUserData_DIR="$work/prefix/lib/cmake/UserData" >/dev/null
cmake --build "$work/build" >/dev/null
# The same host source as the build tree's consumer_answers: the packaged DLL
# must answer as the built one does.
WINEPATH="Z:$(echo "$work/prefix/bin" | tr / '\\')" cmake -DANSWERS="$answers" \
  "-DEMULATOR=env;USERDATA_WINEPREFIX=$build_dir/wineprefix;$source_dir/cmake/wine-run.sh" \
  -DHOSTS="$work/build/consumer.exe;$build_dir/bin/consumer_answers.exe" -P "$source_dir/tests/consumer/compare-answers.cmake"
