# What the desktop tests share: the work folder's clean-up, the checks, an X server, the demo game
# server, and the questions put to the X server about the program's windows.
#   source e2e_lib.sh NAME BIN_DIR     (NAME names the work folder)
# Leaves DISPLAY, ZORVEX_SERVER, work, bin and here set, and the helpers below defined.

work=$(mktemp -d "${TMPDIR:-/tmp}/zorvex-$1.XXXXXX")
# ok, wait_for and describe_status; the clean-up, fail and the program's start are this file's.
# shellcheck source=e2e_helpers.sh
source "$here/e2e_helpers.sh"
pids=()          # everything started here, killed in reverse order at the end
app_pid=""
trayer_pid=""
run=0

# A process that was waited for leaves the list: its id may be reused.
forget() {
  local keep=() p
  for p in "${pids[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done
  pids=("${keep[@]}")
}
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
  done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    wait "${pids[i]}" 2>/dev/null || true
  done
  if [ "$failures" -eq 0 ] && [ -z "${ZORVEX_E2E_KEEP:-}" ]; then
    rm -rf "$work"
  else
    echo "# work folder kept: $work"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL - $*"
  failures=$((failures + 1))
  # The first failure's picture is the one that explains it.
  if [ ! -e "$work/failure.png" ]; then
    import -window root "$work/failure.png" 2>/dev/null || true
    echo "#   screenshot: $work/failure.png"
  fi
  [ -n "$app_pid" ] && echo "#   program's stderr: $work/app$run.err"
}
# A failure after which the rest cannot run.
die() {
  fail "$*"
  exit 1
}
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then ok "$what"; else fail "$what"; fi
}
has_output() { [ -n "$("$@")" ]; }

# --- X server --------------------------------------------------------------------------------
# -displayfd lets the server pick a free display number and tells it once it accepts clients;
# -noreset keeps it from restarting (and refusing clients) whenever the last client leaves.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
display_ready() { [ -n "$(head -n1 "$work/display" 2>/dev/null)" ]; }
wait_for 15 display_ready || die "Xvfb started (see $work/xvfb.log)"
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY
echo "# X display $DISPLAY, work folder $work"

# Deterministic desktop: no session bus (so Qt uses the X11 tray and draws its own balloon), the
# X11 platform, a private runtime folder.
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export LSAN_OPTIONS="suppressions=$here/../lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# --- demo game server ------------------------------------------------------------------------
"$bin/zorvex-demo-server" --port 0 --seed 1 >"$work/server.log" 2>&1 &
pids+=($!)
server_url() { sed -n 's/^listening on //p' "$work/server.log" 2>/dev/null; }
server_listens() { [ -n "$(server_url)" ]; }
wait_for 15 server_listens || die "demo server started (see $work/server.log)"
export ZORVEX_SERVER
ZORVEX_SERVER=$(server_url)

# --- window helpers ----------------------------------------------------------------------------
# The program's main window (class zorvex-messenger, title "Zorvex Messenger"), mapped or not.
main_window() {
  xwininfo -root -children | awk '/"Zorvex Messenger": \("zorvex-messenger"/ {print $1; exit}'
}
map_state() { xwininfo -id "$1" 2>/dev/null | sed -n 's/^ *Map State: //p'; }
# "X Y W H" of a window on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
is_state() { [ "$(map_state "$1")" = "$2" ]; }
at_place() { [ "$(geometry "$1" | cut -d' ' -f1-2)" = "$2 $3" ]; }
click() { xdotool mousemove --sync "$1" "$2" click 1; }
# Number of pixels of a W×H screen area at X,Y that are strongly red.
red_pixels() { # red_pixels X Y W H
  import -window root -crop "$3x$4+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[(),]' 'NR > 1 && $3 + 0 >= 150 && $4 + 0 <= 90 && $5 + 0 <= 90 {n++} END {print n + 0}'
}
snap() { import -window root -crop "$3x$4+$1+$2" +repage "$5"; }
differs() { # differs A.png B.png: more than a few pixels changed
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  n=${n%% *}
  [ "${n%%.*}" -gt 20 ] 2>/dev/null
}

start_app() { # start_app INSTALL_DIR
  run=$((run + 1))
  "$bin/zorvex-messenger" --install-dir "$1" >"$work/app$run.out" 2>"$work/app$run.err" &
  app_pid=$!
  pids+=("$app_pid")
}
# Waits for the program to end; its exit status in app_status.
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_app_end() {
  app_status=timeout
  if wait_for 15 app_ended; then
    app_status=0
    wait "$app_pid" || app_status=$?
    forget "$app_pid"
  fi
  app_pid=""
}
event_files() { find "$1/PBEM" -name '*.event' | wc -l; }
more_event_files() { [ "$(event_files "$1")" -gt "$2" ]; }
# The sum of the games' highest event ids in a game list.
id_sum() {
  "$bin/zorvex-pbem" dump "$1" | grep -o '"highestEventId":[0-9]*' | cut -d: -f2 |
    awk '{s += $1} END {print s + 0}'
}
profile_place() { # "x y" saved in Profile.ini
  awk -F= '/^x=/ {x=$2} /^y=/ {y=$2} END {print x, y}' "$1/Profile.ini" 2>/dev/null | tr -d '\r'
}

# trayer as the tray host; its panel's window in panel, its process in trayer_pid.
trayer_panel() { xwininfo -root -children | awk '/\("panel" "trayer"\)/ {print $1; exit}'; }
start_trayer() {
  trayer --edge bottom --align right --widthtype pixel --width 100 --height 24 \
    >"$work/trayer.log" 2>&1 &
  trayer_pid=$!
  pids+=("$trayer_pid")
  wait_for 10 has_output trayer_panel || die "trayer's panel appeared"
  panel=$(trayer_panel)
}

# Qt draws the balloon as a top-level window of its own (no notification service runs) and
# takes it down after a few seconds, so it is looked for from the start, several times a second.
visible_windows() { xdotool search --onlyvisible --classname zorvex-messenger 2>/dev/null || true; }
# Sets balloon to the window id (decimal) once one is shown; also succeeds once the program ended.
main_dec=""
find_balloon() {
  balloon=""
  local w id
  id=$(main_window)
  [ -n "$id" ] && main_dec=$((id))
  for w in $(visible_windows); do
    [ "$w" = "$main_dec" ] && continue
    # The tray icon is a child of trayer's panel, not a top-level window.
    xwininfo -root -children | grep -qi "^ *$(printf '0x%x' "$w") " || continue
    balloon=$w
    return 0
  done
  kill -0 "$app_pid" 2>/dev/null || return 0
  return 1
}
