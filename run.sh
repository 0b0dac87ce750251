#!/usr/bin/env bash
# Installs what is missing, builds Morvell in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DMORVELL_TESTS=OFF -DMORVELL_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
if [ -x build/release/app/morvell ]; then
  # The program reads its shipped files (default design, rack database, images) from its start directory.
  mkdir -p build/release/run
  cp -n data/* build/release/run/ 2>/dev/null || true
  cd build/release/run
  exec ../app/morvell "$@"
else
  echo "Morvell's main window is not built yet: the calculation core has been built in build/release."
fi
