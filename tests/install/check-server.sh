#!/usr/bin/env bash
# check-server.sh SERVER CONFIG DB: starts the installed server with the installed example
# configuration on DB and any free port, and expects 200 "ok" from GET /health.
set -euo pipefail
server=$1 config=$2 db=$3
log=$(mktemp)
"$server" --config "$config" --db "$db" --listen 127.0.0.1:0 2> "$log" &
pid=$!
trap 'kill "$pid" 2> /dev/null || true; wait "$pid" 2> /dev/null || true; rm -f "$log"' EXIT
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
  [ -n "$port" ] && break
  kill -0 "$pid" 2> /dev/null || { echo "the server stopped:"; cat "$log"; exit 1; }
  sleep 0.1
done
[ -n "$port" ] || { echo "the server did not say where it listens:"; cat "$log"; exit 1; }
exec 3<> "/dev/tcp/127.0.0.1/$port"
printf 'GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&3
# The answer ends where the server closes the connection; a server that keeps it gets 5 s.
answer=$(timeout 5 cat <&3 || true)
exec 3<&-
status=$(head -n 1 <<< "$answer" | tr -d '\r')
if [[ "$status" != "HTTP/1.1 200"* ]] || [[ "$answer" != *'"estado":"ok"'* ]]; then
  echo "GET /health answered:"; echo "$answer"; cat "$log"; exit 1
fi
echo "GET /health on port $port: $status"
