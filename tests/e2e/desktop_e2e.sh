#!/usr/bin/env bash
# The program as a user meets it, on a real X server: a sample installation folder, the demo game
# server on loopback, trayer as the tray host, and xdotool for the mouse.
#   desktop_e2e.sh BIN_DIR
# BIN_DIR holds zorvex-messenger, zorvex-make-sample, zorvex-demo-server and zorvex-pbem.
# Every check prints "ok - ..." or "FAIL - ..."; any failure gives exit status 1 and keeps the
# work folder (the program's stderr, screenshots) for a look. Exit 77 when a tool is missing.
set -euo pipefail

bin=$(cd "${1:?usage: desktop_e2e.sh BIN_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb trayer xdotool xwininfo xprop import convert compare; do
  if ! command -v "$tool" >/dev/null; then
    echo "skip - $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

# shellcheck source=e2e_lib.sh
source "$here/e2e_lib.sh" e2e "$bin"

# --- run 1: with a tray ------------------------------------------------------------------------
start_trayer

install="$work/install"
"$bin/zorvex-make-sample" "$install" >/dev/null
cp "$install/PBEM/PBEM.data" "$work/PBEM.data.sample"
ids_before=$(id_sum "$work/PBEM.data.sample")
files_before=$(event_files "$install")

start_app "$install"

wait_for 20 find_balloon || true
app_ended && die "the program is running (exit: see $work/app$run.err)"
if [ -n "$balloon" ]; then
  balloon_geometry=$(geometry "$balloon" 2>/dev/null || echo "")
else
  balloon_geometry=""
fi

wait_for 10 has_output main_window || die "the main window appeared"
main=$(main_window)
wait_for 10 is_state "$main" IsViewable || die "the main window is shown"
check "a fresh start places the main window at (0,0), 220x220" \
  [ "$(geometry "$main")" = "0 0 220 220" ]

# The tray icon: a zorvex-messenger window embedded in trayer's panel.
tray_line() { xwininfo -id "$panel" -tree | grep '("zorvex-messenger"' | head -n1; }
wait_for 10 has_output tray_line || true
if [ -n "$(tray_line)" ]; then
  ok "the tray icon is embedded in trayer's panel"
else
  die "the tray icon is embedded in trayer's panel"
fi
# "0x... "name": (class)  WxH+x+y  +X+Y": the icon's centre on the screen.
read -r tray_x tray_y tray_w tray_h < <(tray_line | awk '{
  split($(NF-1), s, /[x+]/); n = split($NF, a, "+"); print a[2], a[3], s[1], s[2]}')
tray_cx=$((tray_x + tray_w / 2))
tray_cy=$((tray_y + tray_h / 2))

# The balloon: another top-level window of the program, shown for a few seconds, next to the tray
# icon (the program holds it back until the tray host has docked the icon).
if [ -n "$balloon_geometry" ]; then
  ok "the balloon appears"
  read -r bx by bw bh <<<"$balloon_geometry"
  dx=0 dy=0
  [ "$tray_cx" -lt "$bx" ] && dx=$((bx - tray_cx))
  [ "$tray_cx" -gt $((bx + bw)) ] && dx=$((tray_cx - bx - bw))
  [ "$tray_cy" -lt "$by" ] && dy=$((by - tray_cy))
  [ "$tray_cy" -gt $((by + bh)) ] && dy=$((tray_cy - by - bh))
  if [ "$dx" -le 64 ] && [ "$dy" -le 64 ]; then
    ok "the balloon ($bw x $bh at $bx,$by) is next to the tray icon ($tray_cx,$tray_cy)"
  else
    fail "the balloon ($bw x $bh at $bx,$by) is away from the tray icon ($tray_cx,$tray_cy)"
  fi
  # It would be in the way of the clicks below.
  balloon_gone() { ! xdotool search --onlyvisible --classname zorvex-messenger 2>/dev/null |
                     grep -qx "$balloon"; }
  wait_for 30 balloon_gone || true
  check "the balloon goes away by itself" balloon_gone
else
  fail "the balloon appears (no other window of the program was shown)"
fi

wait_for 20 more_event_files "$install" "$files_before" || true
check "the first poll writes event files ($files_before -> $(event_files "$install"))" \
  more_event_files "$install" "$files_before"
ids_rose() { [ "$(id_sum "$install/PBEM/PBEM.data")" -gt "$ids_before" ]; }
wait_for 10 ids_rose || true
check "the game list's highest event ids rose (sum $ids_before -> $(id_sum "$install/PBEM/PBEM.data"))" \
  ids_rose

# The first game row (the list's top left is at (12,58) in the window) shows its count line with
# the red "new events" triangle at (39,82).
triangle=0
count_drawn() { triangle=$(red_pixels 39 82 16 14) && [ "$triangle" -ge 10 ]; }
wait_for 10 count_drawn || true
check "the first game row shows its count with the new-events triangle ($triangle red pixels)" \
  count_drawn

# Opening the first row: the back button (window (12,32)-(35,57)) gets its arrow.
snap 12 32 23 25 "$work/back-before.png"
click 100 70
back_arrow_shown() { snap 12 32 23 25 "$work/back-after.png" && differs "$work/back-before.png" "$work/back-after.png"; }
wait_for 5 back_arrow_shown || true
check "opening the first game row shows the back arrow" back_arrow_shown

# The minimise button hides the window to the tray; a double-click on the icon brings it back.
place_before=$(geometry "$main")
click 182 12
wait_for 5 is_state "$main" IsUnMapped || true
check "the minimise button hides the main window" is_state "$main" IsUnMapped
xdotool mousemove --sync "$tray_cx" "$tray_cy" click --repeat 2 --delay 80 1
wait_for 5 is_state "$main" IsViewable || true
check "a double-click on the tray icon shows the window again" is_state "$main" IsViewable
check "... at the same place ($place_before)" [ "$(geometry "$main")" = "$place_before" ]

# Preferences -> "Online Games" -> the check box: the demo server hears the post. The main menu
# opens under its header button (window (35,56)); "Preferences" is its second item.
looking_posts() { grep -c "^POST /ServerAssets/PBEM/SetLookingForPBEMGame.php 200" "$work/server.log" || true; }
online_window() {
  xwininfo -root -children | awk '/"Online Games": \("zorvex-messenger"/ {print $1; exit}'
}
menu_open() { xwininfo -root -children | grep -q 'zorvex-messenger.*+35+56 '; }
click 100 44
wait_for 10 menu_open || true
check "the header button opens the main menu" menu_open
click 70 90
menu_closed() { ! menu_open; }
wait_for 10 menu_closed || true
sleep 1 # the list is rebuilt for the preferences after the menu went
# The preferences rows: the last check's status (a check has ended by now), "Check now", then
# "Online Games", 25 pixels apart from the list's top.
click 70 120
wait_for 10 has_output online_window || true
online=$(online_window)
check "the preferences row opens the Online Games window" [ -n "$online" ]
if [ -n "$online" ]; then
  wait_for 5 is_state "$online" IsViewable || true
  read -r ox oy ow oh <<<"$(geometry "$online")"
  # The screen is 1024 x 768 (Xvfb above) and has no panel but trayer's.
  inside_screen() { [ "$ox" -ge 0 ] && [ "$oy" -ge 0 ] && [ $((ox + ow)) -le 1024 ] && [ $((oy + oh)) -le 768 ]; }
  check "... inside the screen ($ow x $oh at $ox,$oy)" inside_screen
  # The check box: the scrolling area at (15,35), the box at (10,33) in it.
  click $((ox + 40)) $((oy + 80))
  heard_post() { [ "$(looking_posts)" -ge 1 ]; }
  wait_for 15 heard_post || true
  check "ticking the box posts to the server ($(looking_posts) post heard)" heard_post
  # Its title bar's close button.
  click $((ox + ow - 18)) $((oy + 12))
  online_gone() { [ "$(map_state "$online")" != IsViewable ]; }
  wait_for 5 online_gone || true
  check "the close button ends the Online Games window" online_gone
fi

# The close button saves the place (moved away from (0,0) so that it means something).
xdotool windowmove "$main" 150 120
wait_for 5 at_place "$main" 150 120 || die "the main window moved to (150,120)"
sleep 0.3 # the program learns of the move from the X server's configure notification
click $((150 + 202)) $((120 + 12))
wait_app_end
check "the close button ends the program (exit status $app_status)" [ "$app_status" = 0 ]
check "Profile.ini holds the place (150,120): '$(profile_place "$install")'" \
  [ "$(profile_place "$install")" = "150 120" ]

# The next start comes up there; SIGTERM saves the place as the close button does.
start_app "$install"
wait_for 15 has_output main_window || die "the main window appeared on the second start"
main=$(main_window)
wait_for 10 is_state "$main" IsViewable || die "the main window is shown on the second start"
check "the next start places the window at (150,120)" at_place "$main" 150 120
xdotool windowmove "$main" 300 200
wait_for 5 at_place "$main" 300 200 || die "the main window moved to (300,200)"
sleep 0.3
kill -TERM "$app_pid"
wait_app_end
check "SIGTERM ends the program (exit status $app_status)" [ "$app_status" = 0 ]
check "SIGTERM writes Profile.ini with the place (300,200): '$(profile_place "$install")'" \
  [ "$(profile_place "$install")" = "300 200" ]

# --- run 2: no tray ----------------------------------------------------------------------------
kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null || true
forget "$trayer_pid"
trayer_gone() { [ -z "$(trayer_panel)" ]; }
wait_for 5 trayer_gone || die "trayer ended"

install2="$work/install-no-tray"
"$bin/zorvex-make-sample" "$install2" >/dev/null
files_before=$(event_files "$install2")
start_app "$install2"
wait_for 15 has_output main_window || die "without a tray the main window appeared"
main=$(main_window)
wait_for 10 is_state "$main" IsViewable || true
check "without a tray the main window is shown" is_state "$main" IsViewable
wait_for 20 more_event_files "$install2" "$files_before" || true
check "without a tray the program polls (event files $files_before -> $(event_files "$install2"))" \
  more_event_files "$install2" "$files_before"
# Without a window manager a minimised window looks no different from outside; what can be seen
# is that it was not hidden (no tray icon could bring it back) and the program goes on running.
click 182 12
sleep 1.5
check "without a tray the minimise button leaves the window reachable" is_state "$main" IsViewable
check "... and the program running" kill -0 "$app_pid"
kill -TERM "$app_pid"
wait_app_end
check "without a tray SIGTERM ends the program (exit status $app_status)" [ "$app_status" = 0 ]

if [ "$failures" -ne 0 ]; then
  echo "# $failures check(s) failed"
  exit 1
fi
echo "# all checks passed"
