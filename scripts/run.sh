#!/usr/bin/env bash
# Installs what is missing, builds, and opens the window against the reference search service
# with its demo catalogue (started here unless one already answers). Without a display it
# runs a demo search from the terminal instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target xiyingxia xiyingxia-service xiyingxia-cli

bin=build/release
host="${XIYINGXIA_SERVICE_HOST:-127.0.0.1:8080}"
export XIYINGXIA_SERVICE_HOST="$host"

service_pid=""
stop_service() { [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true; }
trap stop_service EXIT

if "$bin/src/cli/xiyingxia-cli" search "" --service "$host" >/dev/null 2>&1; then
  echo "Using the search service that answers at $host."
else
  port="${host##*:}"
  [ "$port" = "$host" ] && port=8080
  echo "Starting the reference search service on port $port with the demo catalogue."
  log="$(mktemp)"
  "$bin/service/xiyingxia-service" --host 127.0.0.1 --port "$port" >"$log" 2>&1 &
  service_pid=$!
  for _ in $(seq 100); do grep -q listening "$log" && break; sleep 0.1; done
  if ! grep -q listening "$log"; then
    cat "$log" >&2
    exit 1
  fi
  export XIYINGXIA_SERVICE_HOST="127.0.0.1:$port"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here, so no window: a demo search from the terminal instead."
  echo "\$ xiyingxia-cli search 卓别林"
  "$bin/src/cli/xiyingxia-cli" search 卓别林
  exit 0
fi
"$bin/xiyingxia" "$@"
