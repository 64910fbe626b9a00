#!/usr/bin/env bash
# Out of sight and once per folder: --hidden with a tray (no window shown, polling as usual) and
# without one (the window starts minimised), a second start for the same folder (it shows the
# first one's window and ends with status 0), another folder running beside it, and a start
# after a copy was killed.
#   autostart_e2e.sh BIN_DIR
# BIN_DIR holds zorvex-messenger, zorvex-make-sample and zorvex-demo-server. Exit 77 when a tool
# is missing.
set -euo pipefail

bin=$(cd "${1:?usage: autostart_e2e.sh BIN_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xwininfo xprop trayer; do
  if ! command -v "$tool" >/dev/null; then
    echo "skip - $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zorvex-autostart.XXXXXX")
# shellcheck source=e2e_helpers.sh
source "$here/e2e_helpers.sh"
server_pid=""
trayer_pid=""
other_pid=""
stop() { # stop PID: ends a helper process of the script's own
  if [ -n "$1" ]; then
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}
trap 'stop "$other_pid"; stop "$trayer_pid"; stop "$server_pid"; cleanup' EXIT

unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export LSAN_OPTIONS="suppressions=$here/../lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

"$bin/zorvex-demo-server" --port 0 --seed 1 >"$work/server.log" 2>&1 &
server_pid=$!
server_url() { sed -n 's/^listening on //p' "$work/server.log" 2>/dev/null; }
server_listens() { [ -n "$(server_url)" ]; }
wait_for 15 server_listens || { fail "demo server started (see $work/server.log)"; exit 1; }
export ZORVEX_SERVER
ZORVEX_SERVER=$(server_url)

"$bin/zorvex-make-sample" "$work/install" >/dev/null
"$bin/zorvex-make-sample" "$work/other" >/dev/null
event_files() { find "$1/PBEM" -name '*.event' | wc -l; }
more_event_files() { [ "$(event_files "$1")" -gt "$2" ]; }
main_shown() { window_shown "Zorvex Messenger"; }
# The second start: its exit status in second_status.
second_start() {
  second_status=0
  timeout 20 "$bin/zorvex-messenger" --install-dir "$1" >"$work/$2.out" 2>"$work/$2.err" ||
    second_status=$?
}

start_xvfb

# --- --hidden with a tray ----------------------------------------------------------------------
trayer --edge bottom --align right --widthtype pixel --width 100 --height 24 \
  >"$work/trayer.log" 2>&1 &
trayer_pid=$!
trayer_up() { xwininfo -root -children | grep -q '("panel" "trayer")'; }
wait_for 10 trayer_up || { fail "trayer's panel appeared"; exit 1; }

files_before=$(event_files "$work/install")
start_app "$work/install" hidden --hidden
if wait_for 30 more_event_files "$work/install" "$files_before"; then
  ok "--hidden with a tray: polls as usual"
else
  fail "--hidden with a tray: no new event files (see $work/hidden.err)"
fi
sleep 1
if main_shown; then fail "--hidden with a tray: the window is on the screen"; else
  ok "--hidden with a tray: no window on the screen"; fi

# --- a second start for the same folder, another folder beside it -----------------------------
second_start "$work/install/." second
if [ "$second_status" -eq 0 ] && wait_for 10 main_shown; then
  ok "second start for the folder: status 0, the running one's window shown"
else
  fail "second start for the folder: $(describe_status "$second_status"), window shown: $(main_shown && echo yes || echo no) (see $work/second.err)"
fi
kill -0 "$app_pid" 2>/dev/null && ok "the first copy still runs" || fail "the first copy ended"

"$bin/zorvex-messenger" --install-dir "$work/other" >"$work/other.out" 2>"$work/other.err" &
other_pid=$!
sleep 3
if kill -0 "$other_pid" 2>/dev/null; then ok "another folder runs beside it"; else
  fail "another folder: ended (see $work/other.err)"; fi
stop "$other_pid"
other_pid=""

# --- killed, then --hidden without a tray --------------------------------------------------------
kill -KILL "$app_pid"
wait_app_end 10
stop "$trayer_pid"
trayer_pid=""
start_app "$work/install" notray --hidden
# Qt asks for an iconic start in the window's hints; with no window manager it is still mapped.
iconic_window() {
  local id
  for id in $(program_windows "Zorvex Messenger"); do
    xprop -id "$id" WM_HINTS 2>/dev/null | grep -qi "initial state is iconic" && return 0
  done
  return 1
}
if wait_for 20 iconic_window; then
  ok "after a killed copy, --hidden without a tray: started, minimised"
else
  fail "--hidden without a tray: no minimised window (running: $(app_ended && echo no || echo yes), see $work/notray.err)"
fi
second_start "$work/install" second-notray
[ "$second_status" -eq 0 ] && ok "second start without a tray: status 0" ||
  fail "second start without a tray: $(describe_status "$second_status")"

kill -TERM "$app_pid"
wait_app_end 15
[ "$app_status" = 0 ] && ok "ended by SIGTERM with status 0" || fail "SIGTERM: $app_status"

echo "# $failures failed"
[ "$failures" -eq 0 ]
