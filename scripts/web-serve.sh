# Sourced by the page's checks: serve_page DIR LOG serves DIR on 127.0.0.1
# (port $PORT, else a random one) in the background, sets SERVER (its pid)
# and PORT, and returns once it answers. The caller's trap stops it.
serve_page() {
  PORT=${PORT:-$((20000 + RANDOM % 20000))}
  python3 -m http.server --bind 127.0.0.1 --directory "$1" "$PORT" >"$2" 2>&1 &
  SERVER=$!
  local _
  for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $PORT), 1)" 2>/dev/null && return 0
    sleep 0.1
  done
}
