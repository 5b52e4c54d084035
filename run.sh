#!/usr/bin/env bash
# Installs what is missing, builds Gromadnik in release mode and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DGROMADNIK_TESTS=OFF -DGROMADNIK_BENCH=OFF >/dev/null
cmake --build build/release --target gromadnik -j"$(nproc)"
exec ./build/release/gromadnik "$@"
