#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite,
# then runs the database, job, engine and quenpm-calc tests again on a
# throwaway PostgreSQL server of their own (a temporary cluster listening on
# a Unix socket only, stopped at the end).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${QUENPM_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
root=$(pwd)
cd "$build"
ctest --output-on-failure -j "$(nproc)"

pgdir=$(mktemp -d /tmp/quenpm-pg.XXXXXX)
trap 'bash "$root/scripts/pg-server.sh" stop "$pgdir"; rm -rf "$pgdir"' EXIT
QUENPM_TEST_SERVER=$(bash "$root/scripts/pg-server.sh" start "$pgdir")
export QUENPM_TEST_SERVER
echo "Server suite on $QUENPM_TEST_SERVER"
ctest --output-on-failure -j "$(nproc)" -R '^(db_tests|db_concurrency|engine_driver|engine_calc|engine_review|main_job)$'
