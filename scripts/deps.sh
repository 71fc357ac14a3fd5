#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the programs need.
# Does nothing when they are all present.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      qt6-base-dev libqt6sql6-sqlite libsqlite3-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
      libgtest-dev googletest poppler-utils fonts-dejavu-core)
missing=()
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
