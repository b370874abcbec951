#!/usr/bin/env bash
# Installs what the builds and the tests need, then builds and runs every test suite: the
# native one, and the Windows one cross-built with MinGW-w64 and run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

require_packages "${BUILD_PACKAGES[@]}" libgtest-dev clang-format \
  g++-mingw-w64-x86-64-posix wine64

echo "== Formatting" >&2
git ls-files -- '*.c' '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# build_and_test <preset>: configure with warnings as errors, build, package, run the tests.
build_and_test() {
  echo "== $1: build and tests" >&2
  cmake --preset "$1" -DBUILD_TESTING=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  cmake --build --preset "$1"
  cmake --build --preset "$1" --target package
  ctest --preset "$1"
}

build_and_test default
build_and_test windows
