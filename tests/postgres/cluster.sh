#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the test suite.
#   cluster.sh start STATE_DIR   creates and starts it; writes STATE_DIR/odbc.txt (an ODBC
#                                connection string), STATE_DIR/libpq.txt (a Brevanto connection
#                                string for Provider=PostgreSQL) and STATE_DIR/data (the
#                                cluster's folder)
#   cluster.sh stop STATE_DIR    stops it and removes its folder
# Without PostgreSQL's server programs, start writes nothing and succeeds: the tests that need
# the server then report themselves skipped. The server listens only on a Unix socket inside
# the cluster's folder, never on the network, and runs as an unprivileged user when started by
# root (PostgreSQL refuses to run as root). The user brevanto is trusted; roles a test creates
# log in with their password, so that a wrong one is refused as on a real server.
set -euo pipefail

action="${1:?start|stop}"
state="${2:?state folder}"

bindir=""
for candidate in "${BREVANTO_PG_BINDIR:-}" /usr/lib/postgresql/*/bin; do
  if [[ -n "$candidate" && -x "$candidate/initdb" && -x "$candidate/pg_ctl" ]]; then bindir="$candidate"; fi
done

as_owner() {
  if [[ "$(id -u)" == 0 ]]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  local data
  data="$(cat "$state/data" 2>/dev/null || true)"
  if [[ -n "$data" && -d "$data" ]]; then
    as_owner "$bindir/pg_ctl" -D "$data/db" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$data"
  fi
  rm -f "$state/data" "$state/odbc.txt" "$state/libpq.txt"
}

case "$action" in
  start)
    mkdir -p "$state"
    if [[ -z "$bindir" ]]; then
      echo "PostgreSQL non installato: i test sul server saranno saltati"
      rm -f "$state/odbc.txt" "$state/libpq.txt"
      exit 0
    fi
    stop_cluster
    # A short path: the socket's full name must stay under the system's limit of 107 bytes.
    data="$(mktemp -d /tmp/brevanto-pg.XXXXXX)"
    echo "$data" > "$state/data"
    if [[ "$(id -u)" == 0 ]]; then chown nobody:nogroup "$data"; fi
    chmod 700 "$data"
    as_owner "$bindir/initdb" -D "$data/db" -A trust -U brevanto -E UTF8 --locale=C.UTF-8 --no-sync >"$data/initdb.log" 2>&1 \
      || { cat "$data/initdb.log"; exit 1; }
    # brevanto is trusted on the socket; any other role logs in with its password.
    printf 'local all brevanto trust\nlocal all all scram-sha-256\n' > "$data/db/pg_hba.conf"
    if [[ "$(id -u)" == 0 ]]; then chown nobody:nogroup "$data/db/pg_hba.conf"; fi
    port=5432
    as_owner "$bindir/pg_ctl" -D "$data/db" -l "$data/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $data -p $port -c fsync=off -c full_page_writes=off" start >/dev/null \
      || { cat "$data/server.log"; exit 1; }
    echo "Driver=PostgreSQL Unicode;Server=$data;Port=$port;Database=postgres;UID=brevanto;PWD=x;" > "$state/odbc.txt"
    echo "Provider=PostgreSQL;Host=$data;Port=$port;database=postgres;User=brevanto;Password=x" > "$state/libpq.txt"
    echo "PostgreSQL avviato in $data"
    ;;
  stop)
    if [[ -n "$bindir" ]]; then stop_cluster; fi
    ;;
  *)
    echo "uso: cluster.sh start|stop CARTELLA" >&2
    exit 2
    ;;
esac
