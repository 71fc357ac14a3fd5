#!/usr/bin/env bash
# Installs what is missing, builds the programs and starts Quenpm on the
# database of the alias (created with the shipped data on first start).
# Start another program with: bash scripts/start.sh QuenpmCrop (or QuenpmClim2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${QUENPM_BUILD_DIR:-build}
program=${1:-Quenpm}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)" --target "$program"
exec "$(find "$build" -type f -name "$program" -perm -u+x | head -n 1)"
