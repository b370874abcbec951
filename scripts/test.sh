#!/usr/bin/env bash
# Installs what the build and the tests need, then builds and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

require_packages "${BUILD_PACKAGES[@]}" libgtest-dev clang-format

echo "== Formatting" >&2
git ls-files -- '*.c' '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== Native build and tests" >&2
cmake --preset default -DBUILD_TESTING=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build --preset default
ctest --preset default
