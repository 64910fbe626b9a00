#!/usr/bin/env bash
# How the program starts and ends when its surroundings do: no usable display, a termination
# signal while a start-up message box waits for OK, and the X server going away under it.
#   lifecycle_e2e.sh BIN_DIR
# BIN_DIR holds zorvex-messenger, zorvex-make-sample and zorvex-pbem. Every check prints "ok - ..."
# or "FAIL - ..."; any failure gives exit status 1 and keeps the work folder. Exit 77 when a tool
# is missing.
set -euo pipefail

bin=$(cd "${1:?usage: lifecycle_e2e.sh BIN_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "skip - $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zorvex-lifecycle.XXXXXX")
# shellcheck source=e2e_helpers.sh
source "$here/e2e_helpers.sh"

# No session bus and no session manager to talk to, a private runtime folder, and a game server
# that refuses at once.
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export ZORVEX_SERVER=http://127.0.0.1:1
export LSAN_OPTIONS="suppressions=$here/../lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

"$bin/zorvex-make-sample" "$work/install" >/dev/null

# --- no usable display -------------------------------------------------------------------------
# A display number nobody serves.
free_display=4242
while [ -e "/tmp/.X11-unix/X$free_display" ]; do free_display=$((free_display + 1)); done
n=0
for display in unset empty ":$free_display"; do
  for platform in default xcb; do
    n=$((n + 1))
    env_args=(-u WAYLAND_DISPLAY)
    case $display in
      unset) env_args+=(-u DISPLAY) ;;
      empty) env_args+=(DISPLAY=) ;;
      *) env_args+=(DISPLAY="$display") ;;
    esac
    if [ "$platform" = default ]; then
      env_args=(-u QT_QPA_PLATFORM "${env_args[@]}")
    else
      env_args+=(QT_QPA_PLATFORM=xcb)
    fi
    status=0
    timeout 60 env "${env_args[@]}" "$bin/zorvex-messenger" --install-dir "$work/install" \
      >"$work/nodisplay$n.out" 2>"$work/nodisplay$n.err" || status=$?
    what="display $display, platform $platform"
    if [ "$status" -eq 1 ] && grep -q "display" "$work/nodisplay$n.err"; then
      ok "$what: a message and status 1"
    else
      fail "$what: $(describe_status "$status"), said: $(head -c 300 "$work/nodisplay$n.err")"
    fi
  done
done

# --- on an X server of our own -----------------------------------------------------------------
start_xvfb

# --- a termination signal while a start-up message box waits for OK ---------------------------
# A picture of the main window that cannot be read: its message box comes up before the window.
for sig in TERM INT HUP; do
  install="$work/install-$sig"
  "$bin/zorvex-make-sample" "$install" >/dev/null
  echo "not a picture" >"$install/Data/Images/Add.bmp"
  echo "not a picture" >"$install/Data/Images/Chat.bmp"
  start_app "$install" "box-$sig"
  box_shown() { [ -s "$install/Errors.txt" ] && window_shown zorvex-messenger; }
  if ! wait_for 20 box_shown; then
    fail "SIG$sig: the message box of the broken picture came up"
    wait_app_end 0
    continue
  fi
  kill -s "$sig" "$app_pid"
  wait_app_end 10
  if [ "$app_status" = 0 ] && [ -s "$install/Profile.ini" ]; then
    ok "SIG$sig while the message box is open: ended with status 0, the placement saved"
  elif [ "$app_status" = running ]; then
    fail "SIG$sig while the message box is open: still running after 10 s"
  else
    fail "SIG$sig while the message box is open: $(describe_status "$app_status"), Profile.ini: $(cat "$install/Profile.ini" 2>/dev/null || echo none)"
  fi
done

# --- the X server goes away under the running program --------------------------------------------
# An end this abrupt frees nothing: leaks are not the point here.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" start_app "$work/install" xgone
main_shown() { window_shown "Zorvex Messenger"; }
if wait_for 20 main_shown; then
  sleep 0.5
  stop_xvfb
  wait_app_end 15
  if [ "$app_status" = running ]; then
    fail "X server gone: still running after 15 s"
  elif [ "$app_status" -lt 128 ] && ! grep -qi "AddressSanitizer\|runtime error" "$work/xgone.err"; then
    ok "X server gone: ended with $(describe_status "$app_status"), no crash"
  else
    fail "X server gone: $(describe_status "$app_status") (see $work/xgone.err)"
  fi
  if "$bin/zorvex-pbem" dump "$work/install/PBEM/PBEM.data" >/dev/null 2>&1; then
    ok "X server gone: the game list still reads"
  else
    fail "X server gone: the game list no longer reads"
  fi
else
  fail "the main window came up (see $work/xgone.err)"
  wait_app_end 0
fi

echo "# $failures failed"
[ "$failures" -eq 0 ]
