# Helpers of the end-to-end scripts that run the program on an X server of their own. Sourced
# after the script has set bin (the folder of the programs) and work (its work folder). Every
# check prints "ok - ..." or "FAIL - ..."; the work folder is kept when one failed.

failures=0
xvfb_pid=""
app_pid=""

cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "# work folder kept: $work"; fi
}
trap cleanup EXIT

ok() { echo "ok - $*"; }
fail() {
  echo "FAIL - $*"
  failures=$((failures + 1))
}
wait_for() { # wait_for SECONDS COMMAND...
  local deadline=$((SECONDS + $1))
  shift
  while ! "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# Describes how a process ended: "status N" or "signal NAME".
describe_status() {
  if [ "$1" -gt 128 ]; then
    echo "signal $(kill -l "$(($1 - 128))" 2>/dev/null || echo $(($1 - 128)))"
  else
    echo "status $1"
  fi
}

start_xvfb() {
  : >"$work/display"
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    >>"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  display_ready() { [ -n "$(head -n1 "$work/display" 2>/dev/null)" ]; }
  wait_for 15 display_ready || { fail "Xvfb started (see $work/xvfb.log)"; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
  export QT_QPA_PLATFORM=xcb
}
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
# start_app INSTALL_DIR NAME [OPTION...]: the program in the background, its output in
# $work/NAME.out and .err.
start_app() {
  local install=$1 name=$2
  shift 2
  "$bin/zorvex-messenger" --install-dir "$install" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  app_pid=$!
}
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
# Waits up to SECONDS for the program to end; its exit status in app_status ("running" if not).
wait_app_end() {
  app_status=running
  if wait_for "$1" app_ended; then
    app_status=0
    wait "$app_pid" || app_status=$?
  else
    kill -KILL "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  app_pid=""
}
# The top-level windows of the program with the title $1.
program_windows() {
  xwininfo -root -children | awk -v t="\"$1\": (\"zorvex-messenger\"" 'index($0, t) {print $1}'
}
# Whether a viewable top-level window of the program has the title $1.
window_shown() {
  local id
  for id in $(program_windows "$1"); do
    xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && return 0
  done
  return 1
}
