#!/usr/bin/env bash
# Installs what the build and the tests need, builds in build-test/ and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
kiosk_install_packages

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DKIOSK_WERROR=ON
cmake --build build-test -j2
ctest --test-dir build-test --output-on-failure
