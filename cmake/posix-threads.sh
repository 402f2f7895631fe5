#!/bin/sh
# A compiler and linker launcher: runs MinGW-w64's posix-thread-model driver
# in place of the win32-model one that the toolchain file names. CMake hands
# a launcher the compiler's path first, then the compiler's arguments.
compiler=$1
shift
case $compiler in
  *-win32) exec "${compiler%-win32}-posix" "$@" ;;
  *) echo "posix-threads.sh: expected a win32-model MinGW-w64 driver, got '$compiler'" >&2; exit 2 ;;
esac
