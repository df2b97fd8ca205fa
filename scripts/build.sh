#!/usr/bin/env bash
# Configures (once) and builds the Release tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] ||
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
