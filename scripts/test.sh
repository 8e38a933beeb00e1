#!/usr/bin/env bash
# Checks that no file includes a header of a layer above its own, builds and runs every test,
# in the optimised build and under the sanitizers, then gives each fuzz target a short, bounded
# run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_layers.py
for preset in release asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
scripts/fuzz.sh 15
