#!/usr/bin/env bash
# Installs what the builds and the tests need, then builds and runs every suite: the native
# one, the same under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows one
# (cross-built with MinGW-w64, run under Wine), the Linux arm64 one (cross-built, run under
# qemu), a second build that must give the same bytes, and a bounded fuzzing run on the
# library.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

require_packages "${BUILD_PACKAGES[@]}" libgtest-dev clang-format \
  g++-mingw-w64-x86-64-posix wine64 clang libclang-rt-dev \
  g++-aarch64-linux-gnu qemu-user googletest dpkg-dev lintian mandoc man-db zip unzip

step() { echo "== $*" >&2; }

step "Formatting"
git ls-files -- '*.c' '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# build <preset>: configure with the tests and warnings as errors, then build.
build() {
  cmake --preset "$1" -DBUILD_TESTING=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  cmake --build --preset "$1"
}

step "Native: build, package and tests"
build default
cmake --build --preset default --target package
ctest --preset default

step "Native under sanitizers: build and tests"
build asan
ctest --preset asan

step "Windows: cross build, package, and tests under Wine"
build windows
cmake --build --preset windows --target package
ctest --preset windows

step "Linux arm64: cross build, package, and tests under qemu"
build linux-arm64
cmake --build --preset linux-arm64 --target package
ctest --preset linux-arm64

step "Reproducibility: the packages built again elsewhere, compared byte for byte"
scripts/check-reproducible.sh default windows linux-arm64

step "Fuzzing the registry reader"
build fuzz
ctest --preset fuzz
