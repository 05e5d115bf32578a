#!/usr/bin/env bash
# Static analysis of src/: clang-tidy (.clang-tidy) on both builds' sources, and cppcheck.
# Expects the host and windows builds to be configured (their compile_commands.json).
set -euo pipefail
cd "$(dirname "$0")/.."

host_sources=(src/repair/*.cpp src/platform/*_posix.cpp)
windows_sources=(src/platform/*_win32.cpp src/ui/*.cpp)

clang-tidy --quiet -p build/host "${host_sources[@]}"

# clang reads the MinGW sources as the cross-compiler does: its target and its C++ headers.
extra=(--extra-arg=--target=i686-w64-mingw32)
while read -r dir; do
  extra+=("--extra-arg=-isystem$dir")
done < <(echo | i686-w64-mingw32-g++-posix -E -x c++ - -v 2>&1 |
         sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /.*c++')
clang-tidy --quiet -p build/windows "${extra[@]}" "${windows_sources[@]}"

cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ \
  --enable=warning,performance,portability,style --suppress=missingIncludeSystem \
  -I src -D_WIN32 -DUNICODE src/
cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ \
  --enable=warning,performance,portability,style --suppress=missingIncludeSystem \
  -I src src/repair src/platform/files_posix.cpp src/platform/text_posix.cpp \
  src/platform/message_posix.cpp
echo "lint: clang-tidy and cppcheck found nothing"
