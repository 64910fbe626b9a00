#!/usr/bin/env bash
# Desktop cost of zorvex-messenger against two reference programs, on an X server with a tray
# host: a minimal Qt tray program, a frameless text window with a tray icon
# (bench/tray_window.cpp), which sets the bounds, and an empty frameless Qt window
# (bench/empty_window.cpp), for comparison. Start to the first complete frame (the game rows
# drawn) and resident memory 3 s after the first paint, the first poll done (the programs started
# the same way, interleaved, RUNS times each), then idle cost of the messenger for SECONDS with
# its window shown and SECONDS hidden to the tray, pointer outside.
# Data: the sample installation with 100 games and 2,000 stored event files; the server is
# unreachable (http://127.0.0.1:1).
#   bench/desktop_cost.sh [--runs N] [--idle SECONDS] [BUILD_DIR]      (default 5, 60, build)
# Starts its own Xvfb with a black root (the first-paint probe needs one) and trayer. Needs
# the targets zorvex-messenger zorvex-make-sample make_big_install empty_window tray_window
# first_paint_probe. First paint: first_paint_probe polls the X server every millisecond for the
# window to be mapped and then for its pixels to be other than black; the complete frame is the
# last change of its pixels in the 2 s after that (see bench/first_paint_probe.cpp).
set -euo pipefail

runs=5
idle=60
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --idle) idle=$2; shift 2 ;;
    *) break ;;
  esac
done
build=$(cd "${1:-build}" && pwd)
bin=$build/bin
for tool in zorvex-messenger zorvex-make-sample make_big_install empty_window tray_window first_paint_probe; do
  [ -x "$bin/$tool" ] || { echo "desktop_cost: $bin/$tool is missing (build it)" >&2; exit 2; }
done
for tool in Xvfb trayer xdotool xwininfo xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "desktop_cost: $tool is missing" >&2; exit 2; }
done

tmp=$(mktemp -d)
app=""; xvfb=""; tray=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null || true
  [ -n "$tray" ] && kill "$tray" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# Its own server: another program's windows would cover the place the probe looks at.
for n in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { export DISPLAY=:$n; break; }
done
Xvfb "$DISPLAY" -screen 0 1280x800x24 -br -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
tray=$!
sleep 1
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export ZORVEX_SERVER=http://127.0.0.1:1

install=$tmp/install
"$bin/zorvex-make-sample" "$install" >/dev/null
"$bin/make_big_install" "$install" 100 2000 >/dev/null
# The installation folder is the program's own folder.
cp "$bin/zorvex-messenger" "$install/"
cp "$install/PBEM/PBEM.data" "$tmp/PBEM.data.orig"
[ -f "$install/Profile.ini" ] && cp "$install/Profile.ini" "$tmp/Profile.ini.orig"
# Each start sees the same files: the placement and the game list as made.
reset_install() {
  rm -f "$install/Profile.ini"
  [ -f "$tmp/Profile.ini.orig" ] && cp "$tmp/Profile.ini.orig" "$install/Profile.ini"
  cp "$tmp/PBEM.data.orig" "$install/PBEM/PBEM.data"
}

# One probe run: "complete_ms rss_kb paint_ms" on standard output.
probe() {
  local out
  out=$("$bin/first_paint_probe" --size 220x220 --settle 3 -- "$@" 2>>"$tmp/probe.log") || {
    echo "desktop_cost: the probe failed for $1:" >&2; cat "$tmp/probe.log" >&2; exit 1; }
  awk '/^paint_ms/ {p = $2} /^complete_ms/ {c = $2} /^rss_kb/ {r = $2} END {print c, r, p}' <<<"$out"
}

echo "Complete frame and memory, $runs runs each, interleaved:"
: >"$tmp/empty"; : >"$tmp/tray"; : >"$tmp/messenger"
for i in $(seq "$runs"); do
  probe "$bin/empty_window" >>"$tmp/empty"
  probe "$bin/tray_window" >>"$tmp/tray"
  reset_install
  probe "$install/zorvex-messenger" >>"$tmp/messenger"
  printf '  run %d: empty %s   tray %s   messenger %s   (complete ms, rss kB, first paint ms)\n' \
    "$i" "$(tail -1 "$tmp/empty")" "$(tail -1 "$tmp/tray")" "$(tail -1 "$tmp/messenger")"
done
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
empty_paint=$(cut -d' ' -f1 "$tmp/empty" | median)
empty_rss=$(cut -d' ' -f2 "$tmp/empty" | median)
tray_paint=$(cut -d' ' -f1 "$tmp/tray" | median)
tray_rss=$(cut -d' ' -f2 "$tmp/tray" | median)
app_paint=$(cut -d' ' -f1 "$tmp/messenger" | median)
app_rss=$(cut -d' ' -f2 "$tmp/messenger" | median)

# Idle: context switches of all threads (wake-ups) and CPU ticks, as bench/idle_cost.sh counts.
switches() {
  for s in /proc/"$app"/task/*/status; do
    awk '/^Pid:/ {tid = $2} /ctxt_switches/ {t += $2} END {if (tid) print tid, t}' "$s" 2>/dev/null || true
  done
}
ticks() { awk '{print $14 + $15}' /proc/"$app"/stat; }
hz=$(getconf CLK_TCK)
# Prints "wakeups_per_s cpu_percent" for one idle period.
measure_idle() {
  kill -0 "$app" 2>/dev/null || { echo "desktop_cost: the program ended" >&2; exit 1; }
  switches >"$tmp/before"; local t0; t0=$(ticks)
  sleep "$idle"
  switches >"$tmp/after"; local t1; t1=$(ticks)
  local wakeups
  wakeups=$(awk 'NR == FNR {b[$1] = $2; next} {s += $2 - b[$1]} END {print s + 0}' "$tmp/before" "$tmp/after")
  awk -v s="$wakeups" -v t="$((t1 - t0))" -v d="$idle" -v hz="$hz" \
    'BEGIN {printf "%.3f %.4f\n", s / d, 100 * t / hz / d}'
}
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

echo "Idle, $idle s shown and $idle s hidden:"
reset_install
"$install/zorvex-messenger" >"$tmp/app.log" 2>&1 &
app=$!
win=""
for _ in $(seq 100); do
  win=$(xdotool search --pid "$app" --name '^Zorvex Messenger$' 2>/dev/null | head -1 || true)
  [ -n "$win" ] && viewable "$win" && break
  sleep 0.1
done
[ -n "$win" ] || { echo "desktop_cost: no main window" >&2; exit 1; }
sleep 3
xdotool mousemove 1000 300
sleep 2
shown=$(measure_idle)
echo "  shown:  $shown   (wake-ups/s, % of one core)"
# The minimise button sits in the title bar, left of the close button at its right end.
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + WIDTH - 38)) $((Y + 12)) click 1
sleep 1
viewable "$win" && { echo "desktop_cost: the window did not hide" >&2; exit 1; }
xdotool mousemove 1000 300
sleep 4
hidden=$(measure_idle)
echo "  hidden: $hidden   (wake-ups/s, % of one core)"
kill "$app"; wait "$app" 2>/dev/null || true; app=""

echo
awk -v ep="$empty_paint" -v tp="$tray_paint" -v ap="$app_paint" -v er="$empty_rss" \
    -v tr="$tray_rss" -v ar="$app_rss" -v sh="$shown" -v hi="$hidden" -v runs="$runs" 'BEGIN {
  split(sh, s, " "); split(hi, h, " ")
  verdict = "pass"
  row = "%-36s %10s %10s %10s %-20s %s\n"
  printf row, "measure (median of " runs ")", "messenger", "tray", "empty", "bound", "result"
  ok = ap <= 1.25 * tp; if (!ok) verdict = "FAIL"
  printf row, "start to complete frame (ms)", sprintf("%.1f", ap), sprintf("%.1f", tp), \
    sprintf("%.1f", ep), sprintf("<= %.1f (1.25x)", 1.25 * tp), ok ? "pass" : "FAIL"
  printf row, "  ratio to the reference", sprintf("%.2f", ap / tp), "1", sprintf("%.2f", ep / tp), "", ""
  ok = ar <= tr + 12 * 1024; if (!ok) verdict = "FAIL"
  printf row, "resident memory 3 s after (MB)", sprintf("%.1f", ar / 1024), sprintf("%.1f", tr / 1024), \
    sprintf("%.1f", er / 1024), sprintf("<= %.1f (+12 MB)", tr / 1024 + 12), ok ? "pass" : "FAIL"
  printf row, "  above the reference (MB)", sprintf("%+.1f", (ar - tr) / 1024), "0", \
    sprintf("%+.1f", (er - tr) / 1024), "", ""
  ok = s[2] < 0.05; if (!ok) verdict = "FAIL"
  printf row, "idle CPU, shown (% of one core)", sprintf("%.4f", s[2]), "", "", "< 0.05", ok ? "pass" : "FAIL"
  ok = s[1] < 1; if (!ok) verdict = "FAIL"
  printf row, "idle wake-ups/s, shown", sprintf("%.3f", s[1]), "", "", "< 1", ok ? "pass" : "FAIL"
  ok = h[2] < 0.05; if (!ok) verdict = "FAIL"
  printf row, "idle CPU, hidden (% of one core)", sprintf("%.4f", h[2]), "", "", "< 0.05", ok ? "pass" : "FAIL"
  ok = h[1] < 1; if (!ok) verdict = "FAIL"
  printf row, "idle wake-ups/s, hidden", sprintf("%.3f", h[1]), "", "", "< 1", ok ? "pass" : "FAIL"
  print ""; print "overall: " verdict
  exit verdict == "pass" ? 0 : 1
}'
