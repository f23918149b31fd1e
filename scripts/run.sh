#!/usr/bin/env bash
# Installs what is missing, builds as a release (the machine runs at full speed), and starts
# Tallyrig from the staged tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
program=build/release/stage/bin/Tallyrig
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Tallyrig under Xvfb (xvfb-run). Use a desktop session to see its windows." >&2
  exec xvfb-run -a "$program"
fi
exec "$program"
