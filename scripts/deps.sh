#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the programs need.
# Each package is checked with dpkg first: when all are installed this does
# nothing (no apt-get, no network). Missing packages are installed as root, or
# through sudo for another user; a user who can do neither is told the one
# command to run as root, and the script exits non-zero.
set -euo pipefail

pkgs=(
  # compiler, make tools, and what `--target package` uses (dpkg-shlibdeps
  # comes with build-essential's dpkg-dev; CPack's .deb needs `file`)
  build-essential cmake ninja-build file
  # Qt 6: widgets, SQL, print support, test; Qt Charts and the OpenGL module
  # its CMake package needs (only recommended by qt6-base-dev)
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  # the Qt SQLite driver (run time) and SQLite's header (the table handles)
  libqt6sql6-sqlite libsqlite3-dev
  # PostgreSQL's client library (an alias on a server) and pkg-config to find it
  libpq-dev pkgconf
  # tests: GoogleTest, pdftotext for the PDF checks, a font for offscreen drawing
  libgtest-dev poppler-utils fonts-dejavu-core
  # Nimbus Sans, the metric twin of Arial/Helvetica the reports are laid out in
  # (without it "Arial" falls back to DejaVu Sans, whose wider text wraps the
  # report notes at other words than the stored expected pages)
  fonts-urw-base35
  # tests on a server: a throwaway PostgreSQL cluster (scripts/pg-server.sh)
  postgresql
  # the floor check of the includes (scripts/check_layers.py, a CTest test)
  python3
  # the checks of what the package installs besides the programs
  # (tests/packaging): groff for the man page of quenpm-calc, appstreamcli for
  # the software-centre entries, desktop-file-validate for the menu entries
  groff-base appstream desktop-file-utils
)

installed() {
  dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed$'
}

missing=()
for p in "${pkgs[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root_hint() {
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Run this as root (after 'apt-get update' on a new system), then run this command again:" >&2
  echo "apt-get install --no-install-recommends ${missing[*]}"
  exit 1
}

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || as_root_hint
  # Without a terminal sudo cannot ask for a password: it must work as is.
  if [ -t 0 ]; then sudo -v || as_root_hint; else sudo -n true 2>/dev/null || as_root_hint; fi
  SUDO=(sudo)
fi

echo "Installing: ${missing[*]}"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
  { echo "apt-get update failed" >&2; exit 1; }
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
  { echo "apt-get install failed" >&2; exit 1; }

still=()
for p in "${missing[@]}"; do
  installed "$p" || still+=("$p")
done
if [ ${#still[@]} -gt 0 ]; then
  echo "Still not installed: ${still[*]}" >&2
  exit 1
fi
