#!/usr/bin/env bash
# Runs zorvex-messenger on a sample installation folder against the demo game server, both
# started and stopped here. With a usable display the window opens there; without one the program
# runs under Xvfb with trayer as the tray host, and once the first events were announced (event
# files written and the balloon on the screen) a screenshot is saved and its path printed.
# Ends by itself within a minute (or when the window is closed); --keep keeps the program running
# until its window is closed (or Ctrl-C). The program is ended with SIGTERM, so it saves its
# placement as on a normal close.
#   scripts/run-demo.sh [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."

keep=0
case "${1:-}" in
  "") ;;
  --keep) keep=1 ;;
  *) echo "usage: $0 [--keep]" >&2; exit 2 ;;
esac

scripts/install-deps.sh

mkdir -p build
build_log=build/run-demo-build.log
if ! { cmake -S . -B build -G "Unix Makefiles" &&
       cmake --build build -j "$(nproc)" --target zorvex-messenger zorvex-demo-server zorvex-make-sample
     } >"$build_log" 2>&1; then
  cat "$build_log" >&2
  echo "run-demo: the build failed" >&2
  exit 1
fi

install=$PWD/build/demo-install
rm -rf "$install"
build/bin/zorvex-make-sample "$install" >/dev/null

server_pid=""; app_pid=""; xvfb_pid=""; tray_pid=""
stop_app() {
  [ -n "$app_pid" ] || return 0
  if kill -TERM "$app_pid" 2>/dev/null; then
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$app_pid" 2>/dev/null; then
      echo "run-demo: zorvex-messenger did not end 10 s after SIGTERM; killed" >&2
      kill -KILL "$app_pid" 2>/dev/null || true
    fi
  fi
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
  return 0
}
cleanup() {
  stop_app
  for pid in "$server_pid" "$tray_pid" "$xvfb_pid"; do
    [ -n "$pid" ] && { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
  done
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The server takes a free port and names it in its first line of output.
server_log=build/demo-server.log
# Emptied here: the background start truncates it only later, and an old run's line would do.
: >"$server_log"
build/bin/zorvex-demo-server --port 0 --seed 1 >"$server_log" 2>&1 &
server_pid=$!
url=""
for _ in $(seq 100); do
  url=$(sed -n 's/^listening on //p' "$server_log")
  [ -n "$url" ] && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$server_log" >&2; exit 1; }
  sleep 0.1
done
[ -n "$url" ] || { echo "run-demo: the demo server did not start" >&2; exit 1; }
export ZORVEX_SERVER="$url"

headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
  for n in $(seq 50 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { export DISPLAY=:$n; break; }
  done
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >build/demo-xvfb.log 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { cat build/demo-xvfb.log >&2; echo "run-demo: Xvfb did not start" >&2; exit 1; }
  trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
  tray_pid=$!
  sleep 1
  unset QT_QPA_PLATFORM
fi

event_files() { find "$install/PBEM" -name '*.event' | wc -l; }
# A window of the program other than the main window, on the screen and larger than Qt's
# helper windows: the balloon.
balloon_shown() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null |
              awk '/"zorvex-messenger"\)/ && !/"Zorvex Messenger"/ {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | awk '/Width:/ {w = $2} /Height:/ {h = $2}
      /Map State:/ {m = $3} END {exit !(m == "IsViewable" && w >= 40 && h >= 20)}' && return 0
  done
  return 1
}

stored=$(event_files)
started=$SECONDS
build/bin/zorvex-messenger --install-dir "$install" >build/demo-messenger.log 2>&1 &
app_pid=$!
echo "Sample installation: $install ($stored event files stored by earlier runs)"
echo "Demo game server:    $url"
if [ "$headless" = 1 ]; then
  echo "Display:             $DISPLAY (Xvfb, tray host trayer)"
else
  echo "Display:             $DISPLAY"
fi

# The first announcement: the server's first events stored as files, then the balloon. A desktop
# with a notification service shows it there instead, which cannot be seen from here.
announced=0; files_seen=0
while [ $((SECONDS - started)) -lt 40 ] && kill -0 "$app_pid" 2>/dev/null; do
  if [ "$files_seen" = 0 ] && [ "$(event_files)" -gt "$stored" ]; then
    files_seen=$SECONDS
    echo "New event files:     $(( $(event_files) - stored )) after $((SECONDS - started)) s"
  fi
  if [ "$files_seen" != 0 ] && balloon_shown; then
    announced=1
    echo "Announced:           the balloon is on the screen after $((SECONDS - started)) s"
    break
  fi
  [ "$files_seen" != 0 ] && [ "$headless" = 0 ] && [ $((SECONDS - files_seen)) -ge 5 ] && break
  sleep 0.1
done
if [ "$announced" = 0 ]; then
  if [ "$files_seen" = 0 ]; then
    echo "run-demo: no new event files were written" >&2
  else
    echo "Announced:           no balloon window seen (a desktop notification service may show it)"
  fi
fi

status=0
if [ "$headless" = 1 ]; then
  shot=$PWD/build/demo-screenshot.png
  # import, not xwd: xwd shows override-redirect windows such as the balloon black on Xvfb.
  import -window root "$shot"
  echo "Screenshot:          $shot"
  [ "$announced" = 1 ] || status=1
fi
if ! kill -0 "$app_pid" 2>/dev/null; then
  wait "$app_pid" && code=0 || code=$?
  app_pid=""
  # On a display the player may close the window at once; under Xvfb no one can.
  if [ "$headless" = 1 ] || [ "$code" != 0 ]; then
    echo "run-demo: zorvex-messenger ended early (exit status $code); see build/demo-messenger.log" >&2
    exit 1
  fi
fi

if [ "$keep" = 1 ]; then
  echo "Running until its window is closed (Ctrl-C ends it too)."
  wait "$app_pid" || true
  app_pid=""
elif [ "$headless" = 0 ]; then
  echo "Running for up to a minute, or until its window is closed."
  while [ $((SECONDS - started)) -lt 60 ] && kill -0 "$app_pid" 2>/dev/null; do sleep 0.2; done
fi
if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
  stop_app
  echo "zorvex-messenger ended (SIGTERM); placement saved in $install/Profile.ini"
else
  app_pid=""
  echo "zorvex-messenger ended (window closed)."
fi
cleanup
server_pid=""; tray_pid=""; xvfb_pid=""
echo "Demo game server stopped."
exit "$status"
