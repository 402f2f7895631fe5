#!/bin/sh
# The release package as a host uses it.
#
#   run-consumer-test.sh package BUILD SOURCE OBJDUMP ANSWERS
# packs the build with cpack, signed with a throwaway certificate, unpacks the
# release ZIP into an empty folder, checks that every binary in it carries
# that signature, that the DLL in it keeps ASLR and DEP and its load
# configuration directory (the stack guard's seed), is small and has no
# debug sections and that both import libraries are there, then builds the
# consumer against the unpacked package with MinGW-w64.
#   run-consumer-test.sh msvc BUILD SOURCE ANSWERS
# builds the consumer against the package unpacked by the first form, in MSVC
# mode: find_package hands it UserData.lib, and nothing else of ours.
#
# Either way the consumer runs under Wine with the package's bin/ on the
# Windows search path, and must print the ANSWERS lines that the build tree's
# consumer_answers prints, from the same source.
set -eu
mode=$1 build_dir=$2 source_dir=$3
work=$build_dir/consumer

build_and_compare() {
  toolchain=$1 consumer_build=$work/build-$mode answers=$2
  rm -rf "$consumer_build"
  cmake -S "$source_dir/tests/consumer" -B "$consumer_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/$toolchain" \
    -DUserData_DIR="$work/prefix/lib/cmake/UserData" >/dev/null
  cmake --build "$consumer_build" >/dev/null
  WINEPATH="Z:$(echo "$work/prefix/bin" | tr / '\\')" cmake -DANSWERS="$answers" \
    "-DEMULATOR=env;USERDATA_WINEPREFIX=$build_dir/wineprefix;$source_dir/cmake/wine-run.sh" \
    -DHOSTS="$build_dir/bin/consumer_answers.exe;$consumer_build/consumer.exe" \
    -P "$source_dir/tests/consumer/compare-answers.cmake"
}

if [ "$mode" = msvc ]; then
  build_and_compare clang-msvc-x86_64.cmake "$4"
  exit
fi
objdump=$4
rm -rf "$work"
mkdir -p "$work/package" "$work/prefix"
# Signed as a release is (tools/package.sh --sign), with a throwaway
# self-signed code-signing certificate. Its password holds what a format, a
# shell's word splitting or a quoting slip would change: %, a backslash,
# spaces, both quotes, and a character outside ASCII.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=UserData test signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export USERDATA_SIGN_PASSWORD='%s 100% "test" pass\word'"'"'s é'
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/test.pfx" \
  -passout env:USERDATA_SIGN_PASSWORD
. "$source_dir/tools/signing.sh"
sign_with "$work/test.pfx"
(cd "$build_dir" && cpack -B "$work/package" >/dev/null)
zip=$(ls "$work"/package/UserData-*-win64.zip)
(cd "$work/prefix" && cmake -E tar xf "$zip")
for binary in "$work"/prefix/bin/*.dll "$work"/prefix/bin/*.exe; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$binary" >/dev/null ||
    { echo "consumer: $binary does not carry the test certificate's signature" >&2; exit 1; }
done
dll=$work/prefix/bin/UserData.dll
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  "$objdump" -p "$dll" | grep -q "^[[:space:]]*$flag\$" || { echo "consumer: $dll lacks $flag" >&2; exit 1; }
done
"$objdump" -p "$dll" | grep -q "^Entry a [0-9a-f]*[1-9a-f][0-9a-f]* [0-9a-f]* Load Configuration Directory" ||
  { echo "consumer: $dll has lost its load configuration directory" >&2; exit 1; }
size=$(wc -c <"$dll")
if [ "$size" -ge 1572864 ]; then echo "consumer: $dll is $size bytes, not under 1.5 MB" >&2; exit 1; fi
if "$objdump" -h "$dll" | grep -q '\.debug_'; then echo "consumer: $dll has debug sections" >&2; exit 1; fi
ls "$work"/package/UserData-*-win64-debug.zip >/dev/null
for file in lib/libUserData.dll.a lib/UserData.lib share/UserData/udinfo-report.schema.json \
            share/UserData/udinfo-doctor.schema.json; do
  [ -f "$work/prefix/$file" ] || { echo "consumer: the package has no $file" >&2; exit 1; }
done
build_and_compare mingw-w64-x86_64.cmake "$5"
