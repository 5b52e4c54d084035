#!/usr/bin/env bash
# Installs what is missing, builds Gromadnik with its tests and runs the whole suite headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
jobs="$(nproc)"

# The profile-file parser under libFuzzer, for a short fixed number of runs.
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DGROMADNIK_FUZZ=ON \
    -DGROMADNIK_WERROR=ON >/dev/null
cmake --build build/fuzz -j"$jobs"
(cd build/fuzz && ctest --output-on-failure)

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGROMADNIK_WERROR=ON >/dev/null
cmake --build build/test -j"$jobs"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs"
