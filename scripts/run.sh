#!/usr/bin/env bash
# Sets the machine up, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=${QUORVANE_BUILD_DIR:-build}
if [ ! -f src/app/CMakeLists.txt ]; then
  echo "Quorvane: the program itself is not built yet (no main window in this checkout)." >&2
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target quorvane
exec "$build/bin/quorvane" "$@"
