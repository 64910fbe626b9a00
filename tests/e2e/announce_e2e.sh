#!/usr/bin/env bash
# Announcements the player opens: the desktop notification's "Open" action when no tray runs
# (a stand-in notification service on a private session bus), and a click on the balloon beside
# trayer's icon. The sample's other games are muted, so both speak of one game and open its view.
#   announce_e2e.sh BIN_DIR
# BIN_DIR holds zorvex-messenger, zorvex-make-sample, zorvex-demo-server, zorvex-pbem and
# zorvex-notify-standin. Every check prints "ok - ..." or "FAIL - ..."; any failure gives exit
# status 1 and keeps the work folder. Exit 77 when a tool is missing.
set -euo pipefail

bin=$(cd "${1:?usage: announce_e2e.sh BIN_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb trayer xdotool xwininfo import compare dbus-daemon dbus-send; do
  if ! command -v "$tool" >/dev/null; then
    echo "skip - $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

# shellcheck source=e2e_lib.sh
source "$here/e2e_lib.sh" announce "$bin"

# A sample installation whose games but G1001 are muted.
new_install() { # new_install DIR
  "$bin/zorvex-make-sample" "$1" >/dev/null
  printf '[Mute]\r\nG2045=always\r\nG3183=always\r\n' >"$1/Profile.ini"
}
# The back button (window (12,32)-(35,57); the window starts at (0,0)) shows its arrow in a
# game's view and not in the game list.
snap_back_button() { snap 12 32 23 25 "$work/$1.png"; }
arrow_drawn() { snap_back_button back-now && differs "$work/back-list.png" "$work/back-now.png"; }
arrow_gone() { ! arrow_drawn; }
shows_main() { main=$(main_window) && [ -n "$main" ] && is_state "$main" IsViewable; }

# --- no tray: the desktop notification ---------------------------------------------------------
dbus-daemon --session --nofork --print-address=3 3>"$work/bus-address" >"$work/dbus.log" 2>&1 &
pids+=($!)
bus_ready() { [ -n "$(head -n1 "$work/bus-address" 2>/dev/null)" ]; }
wait_for 10 bus_ready || die "a private session bus started (see $work/dbus.log)"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS

"$bin/zorvex-notify-standin" >"$work/notify.log" 2>"$work/notify.err" &
pids+=($!)
standin_ready() { grep -q '^ready' "$work/notify.log"; }
wait_for 10 standin_ready || die "the stand-in notification service took its name"
notifications() { grep -c '^notify ' "$work/notify.log" || true; }
notification() { grep '^notify ' "$work/notify.log" | sed -n "${1}p"; }
field() { # field LINE NAME: the value of NAME= up to the next field
  sed -n "s/.* $2=\\(.*\\)/\\1/p" <<<"$1" | sed 's/ [a-z]*=.*//'
}

install="$work/install-no-tray"
new_install "$install"
start_app "$install"
wait_for 15 shows_main || die "without a tray the main window is shown"
snap_back_button back-list
has_notification() { [ "$(notifications)" -ge "${1:-1}" ]; }
wait_for 20 has_notification || die "the service received a notification"
first=$(notification 1)
echo "# $first"
check "its application name is the program's" [ "$(field "$first" app)" = "Zorvex Messenger" ]
check "it offers the action default, labelled Open" [ "$(field "$first" actions)" = "default|Open" ]
check "it is new, not a replacement" [ "$(field "$first" replaces)" = 0 ]
first_id=$(field "$first" id)

# A newer announcement takes the place of the one on screen. The demo server has news again after
# one to three quiet checks: "Check now", a row of the preferences page (the header's menu, its
# second item; the status row, then "Check now" 25 pixels below).
click 100 44
sleep 0.5
click 70 90
sleep 1
for _ in 1 2 3 4 5 6; do
  has_notification 2 && break
  click 70 95
  wait_for 3 has_notification 2 || true
done
if has_notification 2; then
  second=$(notification 2)
  echo "# $second"
  check "a newer notification replaces the first (id $first_id)" \
    [ "$(field "$second" replaces)" = "$first_id" ]
else
  fail "Check now brought a second notification"
fi
# Back to the game list, where the back button has no arrow.
click 23 44
wait_for 5 arrow_gone || true
check "the back button leads to the game list" arrow_gone

# The player opens the notification: the service says so with ActionInvoked.
last_id=$(field "$(notification "$(notifications)")" id)
dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
  /org/freedesktop/Notifications org.zorvex.test.Notifications.Invoke \
  "uint32:$last_id" string:default >/dev/null
wait_for 5 arrow_drawn || true
check "opening the notification shows the game's view" arrow_drawn
import -window root "$work/notification-opened.png"
kill -TERM "$app_pid"
wait_app_end
check "SIGTERM ends the program (exit status $app_status)" [ "$app_status" = 0 ]

# --- with a tray: a click on the balloon ---------------------------------------------------------
# No notification service: Qt draws the balloon itself.
unset DBUS_SESSION_BUS_ADDRESS
start_trayer
install="$work/install-tray"
new_install "$install"
start_app "$install"
wait_for 15 shows_main || die "the main window is shown"
snap_back_button back-list
wait_for 20 find_balloon || true
[ -n "$balloon" ] || die "the balloon appears"
ok "the balloon appears"
read -r bx by bw bh <<<"$(geometry "$balloon")"
click $((bx + bw / 2)) $((by + bh / 2))
wait_for 5 arrow_drawn || true
check "a click on the balloon shows the game's view" arrow_drawn
import -window root "$work/balloon-clicked.png"
kill -TERM "$app_pid"
wait_app_end
check "SIGTERM ends the program (exit status $app_status)" [ "$app_status" = 0 ]

if [ "$failures" -ne 0 ]; then
  echo "# $failures check(s) failed"
  exit 1
fi
echo "# all checks passed"
