#!/usr/bin/env bash
# Idle cost of a window program: how often its threads wake and how much CPU it uses while
# nothing happens. Starts Xvfb (unless DISPLAY is set), runs the command, parks the pointer in
# a screen corner away from the window, waits for it to settle, then measures for SECONDS.
#   bench/idle_cost.sh [SECONDS] -- COMMAND [ARGS...]
# Prints wakeups per second (context switches of all threads) and CPU % of one core.
set -euo pipefail

seconds=60
if [ "${1:-}" != "--" ]; then seconds=$1; shift; fi
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "usage: $0 [SECONDS] -- COMMAND [ARGS...]" >&2; exit 2; }

tmp=$(mktemp -d)
cleanup() {
  rm -rf "$tmp"
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:97
  Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
unset QT_QPA_PLATFORM

"$@" >/dev/null 2>&1 &
app=$!
sleep 3
# IDLE_POINTER="x y" puts the pointer elsewhere (inside the window, to see the busy case).
command -v xdotool >/dev/null && xdotool mousemove ${IDLE_POINTER:-1279 799} || true
sleep 2

# Context switches (voluntary and involuntary) of each thread: "tid count" lines.
switches() {
  for s in /proc/"$app"/task/*/status; do
    awk -v f="$s" '/^Pid:/ {tid = $2} /ctxt_switches/ {t += $2} END {if (tid) print tid, t}' \
      "$s" 2>/dev/null || true
  done
}
# utime + stime of the whole process, in clock ticks.
ticks() { awk '{print $14 + $15}' /proc/"$app"/stat; }

kill -0 "$app" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }
switches >"$tmp/before"; t0=$(ticks)
sleep "$seconds"
switches >"$tmp/after"; t1=$(ticks)
# Threads started meanwhile count in full; threads that ended are not seen.
wakeups=$(awk 'NR == FNR {before[$1] = $2; next} {sum += $2 - before[$1]} END {print sum + 0}' \
  "$tmp/before" "$tmp/after")
hz=$(getconf CLK_TCK)
awk -v s="$wakeups" -v t="$((t1 - t0))" -v d="$seconds" -v hz="$hz" 'BEGIN {
  printf "wakeups: %d in %d s = %.2f per second\n", s, d, s / d
  printf "cpu: %.3f s in %d s = %.4f %% of one core\n", t / hz, d, 100 * t / hz / d
}'
