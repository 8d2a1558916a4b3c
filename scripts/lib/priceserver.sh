# Starting and stopping mvr-priceserver from a script, sourced by scripts/demo
# and the end-to-end benchmark. Expects $server (the program),
# $MVRKRSEXP_CONFIG_DIR (the configuration to point at it) and $work (a
# folder for its output and log). Sourcing it sets traps that stop a running
# server on every way out of the script.

server_pid=""

stop_price_server() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  server_pid=""
}

# start_price_server DATA [SERVE OPTIONS...]: serves DATA on a free loopback
# port and writes that port into the configuration's MVRKrsExp.ini.
start_price_server() {
  local data=$1
  shift
  local ready="$work/server.out"
  : >"$ready"
  "$server" --serve "$data" --port 0 "$@" >"$ready" 2>>"$work/server.log" &
  server_pid=$!
  local port=""
  for _ in $(seq 1 200); do
    # A server built for Windows ends its line with CR LF.
    port=$(sed -n 's/^listening address=.* port=\([0-9]*\)\r\{0,1\}$/\1/p' "$ready")
    [ -n "$port" ] && break
    if ! kill -0 "$server_pid" 2>/dev/null; then
      tail -n 5 "$work/server.log" >&2
      return 1
    fi
    sleep 0.05
  done
  if [ -z "$port" ]; then
    echo "the price server did not start" >&2
    return 1
  fi
  printf '[MVRKrsExp]\r\nServerName=127.0.0.1\r\nServerPort=%s\r\n' "$port" \
    >"$MVRKRSEXP_CONFIG_DIR/MVRKrsExp.ini"
  echo "Price server listening on 127.0.0.1:$port"
}

trap stop_price_server EXIT
trap 'stop_price_server; exit 130' INT
trap 'stop_price_server; exit 143' TERM
