#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo server in the background
# and the client against it on the current X display; stops the server when
# the client exits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh "$root/build"

server_pid=
demo="$root/build/tools/demo/quenmar_demo_server"
if [ -x "$demo" ]; then
  "$demo" >"$root/build/demo_server.log" 2>&1 &
  server_pid=$!
  trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true' EXIT
fi
"$root/build/src/quenmar" "$@"
