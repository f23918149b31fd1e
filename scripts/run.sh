#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tallyrig from the staged tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
program=build/default/stage/bin/Tallyrig
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Tallyrig under Xvfb (xvfb-run). Use a desktop session to see its windows." >&2
  exec xvfb-run -a "$program"
fi
exec "$program"
