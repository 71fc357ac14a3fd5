#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: "start DIR" initialises a
# cluster in DIR (run as an unprivileged user when called as root), listens
# only on a Unix socket inside DIR, creates the database "quenpm_test" and
# prints its URI; "stop DIR" stops it. Nothing outside DIR is touched.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/initdb" ] || { echo "PostgreSQL server programs not found (Debian package postgresql)" >&2; exit 1; }
port=${QUENPM_PG_PORT:-54329}
as_owner() {
  if [ "$(id -u)" = 0 ]; then setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; else "$@"; fi
}
case "$cmd" in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ "$(id -u)" = 0 ] && chown nobody:nogroup "$dir"
  chmod 700 "$dir"
  as_owner "$bindir/initdb" -D "$dir/data" -U quenpm --auth=trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1
  as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off" start >/dev/null
  as_owner "$bindir/createdb" -h "$dir" -p "$port" -U quenpm quenpm_test
  echo "postgresql:///quenpm_test?host=$dir&port=$port&user=quenpm"
  ;;
stop)
  [ -d "$dir/data" ] && as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
  ;;
esac
