#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# CI builds with warnings as errors; a local build only shows them.
preset=default
[ "${CI:-}" = "true" ] && preset=ci
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
