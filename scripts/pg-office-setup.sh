#!/usr/bin/env bash
# Prepares the office database on a PostgreSQL server: a login role for the
# planners and a database owned by it. Run it once, as someone who may create
# roles and databases on that server (e.g. the "postgres" account).
#
#   bash scripts/pg-office-setup.sh [-h HOST] [-p PORT] [-U ADMIN] [-d DATABASE] [-r ROLE]
#
# Defaults: the local server (Unix socket), port 5432, admin "postgres",
# database "quenpm", role "quenpm". The role's password is asked for (or taken
# from QUENPM_ROLE_PASSWORD). The tables are not made here: the first Quenpm
# program that opens the database creates them and loads the shipped data.
set -euo pipefail
host= port=5432 admin=postgres db=quenpm role=quenpm
while getopts "h:p:U:d:r:" o; do
  case $o in
    h) host=$OPTARG ;; p) port=$OPTARG ;; U) admin=$OPTARG ;; d) db=$OPTARG ;; r) role=$OPTARG ;;
    *) sed -n '2,12p' "$0" >&2; exit 1 ;;
  esac
done
command -v psql >/dev/null || { echo "psql is missing: apt-get install postgresql-client" >&2; exit 1; }
[[ $db =~ ^[a-z_][a-z0-9_]*$ && $role =~ ^[a-z_][a-z0-9_]*$ ]] ||
  { echo "database and role names: lower-case letters, digits and _" >&2; exit 1; }
pw=${QUENPM_ROLE_PASSWORD-}
if [ -z "$pw" ]; then
  read -r -s -p "Password for the role $role: " pw; echo
  read -r -s -p "Again: " pw2; echo
  [ "$pw" = "$pw2" ] || { echo "the passwords differ" >&2; exit 1; }
fi
[ -n "$pw" ] || { echo "an empty password is not allowed" >&2; exit 1; }
conn=(psql -X -v ON_ERROR_STOP=1 -p "$port" -U "$admin" -d postgres)
[ -n "$host" ] && conn+=(-h "$host")
# The password goes in as a psql variable, quoted by psql itself.
"${conn[@]}" -v role="$role" -v pw="$pw" <<'SQL'
SELECT format('CREATE ROLE %I LOGIN PASSWORD %L', :'role', :'pw')
 WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'role') \gexec
SELECT format('ALTER ROLE %I LOGIN PASSWORD %L', :'role', :'pw') \gexec
SQL
"${conn[@]}" -v role="$role" -v db="$db" <<'SQL'
SELECT format('CREATE DATABASE %I OWNER %I ENCODING ''UTF8'' TEMPLATE template0', :'db', :'role')
 WHERE NOT EXISTS (SELECT 1 FROM pg_database WHERE datname = :'db') \gexec
SELECT format('REVOKE ALL ON DATABASE %I FROM PUBLIC', :'db') \gexec
SELECT format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I', :'db', :'role') \gexec
SQL
shown=${host:-localhost}
echo "Done. Each planner points the alias at it, e.g. in ~/.config/Quenpm/Quenpm.conf:"
echo "  Database=postgresql://$role@$shown:$port/$db"
echo "with the password in ~/.pgpass (mode 600):  $shown:$port:$db:$role:<password>"
