#!/usr/bin/env bash
# Installs what is needed, builds, lays out a sample installation folder, starts the demo game
# server on a free loopback port and runs the program's start-up and download on the folder twice
# (zorvex-pbem poll), then stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

mkdir -p build
build_log=build/run-demo-build.log
if ! { cmake -S . -B build -G "Unix Makefiles" &&
       cmake --build build -j "$(nproc)" --target zorvex-demo-server zorvex-pbem zorvex-make-sample
     } >"$build_log" 2>&1; then
  cat "$build_log" >&2
  echo "run-demo: the build failed" >&2
  exit 1
fi

install=build/demo-install
rm -rf "$install"
build/bin/zorvex-make-sample "$install" >/dev/null

# The server takes a free port and names it in its first line of output.
server_log=build/demo-server.log
build/bin/zorvex-demo-server --port 0 --seed 1 >"$server_log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true' EXIT
url=""
for _ in $(seq 100); do
  url=$(sed -n 's/^listening on //p' "$server_log")
  [ -n "$url" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    cat "$server_log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$url" ]; then
  echo "run-demo: the demo server did not start" >&2
  exit 1
fi
export ZORVEX_SERVER="$url"

event_files() { find "$install/PBEM" -name '*.event' | wc -l; }

poll() {
  local before after
  before=$(event_files)
  echo "== $1"
  build/bin/zorvex-pbem poll "$install"
  after=$(event_files)
  echo "-- event files written by this poll: $((after - before))"
  echo
}

echo "Sample installation: $install ($(event_files) event files stored by earlier runs)"
echo "Demo game server:    $url"
echo
echo "Each poll prints one line per announced event, then the count and the balloon text."
echo "At every start the program announces the event files it finds, then what the server sends."
echo
poll "First poll: the stored events, then the server's new events, written as event files"
poll "Second poll: the stored events again (now including the first poll's); nothing new"

kill "$server_pid"
wait "$server_pid" 2>/dev/null || true
trap - EXIT
echo "Demo game server stopped."
