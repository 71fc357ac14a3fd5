#!/usr/bin/env bash
# check-deb.sh [DEB]   (as root; default DEB: build/quenpm_*_amd64.deb)
#
# Installs the Debian package into a fresh minimal Debian 12 root, the way a
# user does (`apt-get install ./quenpm_*.deb`), then starts /usr/bin/Quenpm
# offscreen on a new database and runs quenpm-calc on it.
#  - The fresh root is the tarball $FRESH_ROOT_TAR (default /tmp/fresh-root.tar,
#    a `debootstrap --variant=minbase bookworm` root with its apt sources);
#    without it one is made with debootstrap from $DEBIAN_MIRROR
#    (default http://deb.debian.org/debian) and kept there for the next run.
#  - The copy lives in $CHECK_DIR (default a new directory under /tmp) and is
#    removed afterwards unless KEEP=1.
# Last line: deb-check: install <ok|fail> start <ok|fail> calc <ok|fail>
set -uo pipefail
cd "$(dirname "$0")/.."

say() { echo "deb-check: $*" >&2; }
[ "$(id -u)" -eq 0 ] || { say "run as root"; exit 2; }

deb=${1:-$(ls build/quenpm_*_amd64.deb 2>/dev/null | head -n 1)}
[ -n "$deb" ] && [ -f "$deb" ] ||
  { say "no package: make it with 'cmake --build build --target package'"; exit 2; }
deb=$(readlink -f "$deb")

tarball=${FRESH_ROOT_TAR:-/tmp/fresh-root.tar}
if [ ! -f "$tarball" ]; then
  command -v debootstrap >/dev/null || { say "debootstrap is not installed"; exit 2; }
  mk=$(mktemp -d /tmp/deb-check-mk.XXXXXX)
  say "making a minimal Debian 12 root with debootstrap (once)"
  debootstrap --variant=minbase bookworm "$mk" "${DEBIAN_MIRROR:-http://deb.debian.org/debian}" >/dev/null ||
    { say "debootstrap failed"; rm -rf --one-file-system "$mk"; exit 2; }
  echo "deb ${DEBIAN_MIRROR:-http://deb.debian.org/debian} bookworm main" > "$mk/etc/apt/sources.list"
  printf '#!/bin/sh\nexit 101\n' > "$mk/usr/sbin/policy-rc.d"; chmod 755 "$mk/usr/sbin/policy-rc.d"
  tar -C "$mk" -cf "$tarball" . && rm -rf --one-file-system "$mk"
fi

root=${CHECK_DIR:-$(mktemp -d /tmp/deb-check.XXXXXX)}
mounts=(proc dev dev/pts)
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    mountpoint -q "$root/${mounts[$i]}" && { umount "$root/${mounts[$i]}" || umount -l "$root/${mounts[$i]}"; }
  done
  [ "${KEEP:-0}" = 1 ] || rm -rf --one-file-system "$root"
}
trap cleanup EXIT

mkdir -p "$root"
tar -C "$root" -xf "$tarball" || { say "cannot extract $tarball"; exit 2; }
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$root/proc" && mount --bind /dev "$root/dev" && mount --bind /dev/pts "$root/dev/pts" ||
  { say "cannot mount /proc and /dev into $root"; exit 2; }
cp "$deb" "$root/root/"
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" </dev/null
}

install=fail start=fail calc=fail
say "apt-get install ./$(basename "$deb") in a fresh root ($root)"
if in_root bash -c "cd /root && apt-get update -qq && apt-get install -y -qq ./$(basename "$deb")" \
     > "$root.install.log" 2>&1 &&
   in_root test -x /usr/bin/Quenpm -a -x /usr/bin/QuenpmCrop -a -x /usr/bin/QuenpmClim2 -a -x /usr/bin/quenpm-calc; then
  install=ok
else
  tail -n 20 "$root.install.log" >&2
fi

if [ $install = ok ]; then
  # Quenpm must still run after 15 s, having made and filled the new database.
  in_root env QT_QPA_PLATFORM=offscreen QUENPM_DB=/tmp/new/Quenpm.sqlite timeout 15 /usr/bin/Quenpm \
    > "$root.start.log" 2>&1
  rc=$?
  size=$(du -sk "$root/tmp/new" 2>/dev/null | cut -f1)
  say "Quenpm: timeout exit $rc, new database ${size:-0} kB"
  if [ "$rc" -eq 124 ] && [ "${size:-0}" -gt 100 ]; then start=ok; else tail -n 20 "$root.start.log" >&2; fi
  if in_root env QUENPM_DB=/tmp/new/Quenpm.sqlite /usr/bin/quenpm-calc --list-jobs > "$root.calc.log" 2>&1; then
    calc=ok
  else
    tail -n 5 "$root.calc.log" >&2
  fi
fi
[ "${KEEP:-0}" = 1 ] || rm -f "$root.install.log" "$root.start.log" "$root.calc.log"
echo "deb-check: install $install start $start calc $calc"
[ $install = ok ] && [ $start = ok ] && [ $calc = ok ]
