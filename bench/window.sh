#!/usr/bin/env bash
# The real window under a private Xvfb display (with openbox when installed):
# launches `kelvarin --stats`, waits for the automatic battle (the lull brings
# it after 150 ticks, 6 s), measures it for 10 s, ends the program with Escape
# and prints:
#   first_frame_ms  launch to the first painted frame on the screen
#   cpu_idle_pct    CPU while the surface is empty (from 1 s after the first
#                   frame until the battle), per cent of one core
#   cpu_battle_pct  CPU during the 10 s of battle, per cent of one core
#   peak_rss_mb     peak resident set size (VmHWM) over the whole run
#   the three --stats lines, over the whole run
# CPU comes from /proc/PID/schedstat (nanoseconds on the CPU), so start-up is
# excluded by taking differences.
#
# Then the screensaver modes and full screen, each launched by saver_probe,
# measured for the same time from 1 s after its first battle and ended by
# SIGTERM; one line each:
#   window_id_shm     --window-id into a 1280x1024 host (pixels through MIT-SHM)
#   window_id_socket  the same on a server without MIT-SHM (through the socket)
#   root              --root on the 1280x1024 root window (start and end only)
#   fullscreen        --fullscreen on a 1920x1080 screen under openbox
# with first_battle_ms (launch to the first team colour on the screen),
# cpu_pct and server_cpu_pct (the program's and the X server's CPU, per cent
# of one core), peak_rss_mb, term_to_exit_ms (SIGTERM to the end) and the exit
# status, followed by the run's --stats lines (in the screensaver modes a
# tick's time includes sending the changed pixels to the server).
#
# Usage: bench/window.sh [KELVARIN_BINARY]   (default build/bench/kelvarin,
#        then build/release/kelvarin). BATTLE_SECONDS=N changes the 10 s.
# Needs Xvfb, xdotool, a C compiler and the X11 headers; openbox is optional.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
bin=${1:-}
if [[ -z "$bin" ]]; then
  for candidate in "$root/build/bench/kelvarin" "$root/build/release/kelvarin"; do
    if [[ -x "$candidate" ]]; then bin=$candidate; break; fi
  done
fi
[[ -n "$bin" && -x "$bin" ]] || { echo "window.sh: no kelvarin binary; build one first" >&2; exit 2; }
bin=$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")
battle=${BATTLE_SECONDS:-10}

work=$(mktemp -d)
pids=()
kelvarin_pid=
cleanup() {
  if [[ -n "$kelvarin_pid" ]] && kill -0 "$kelvarin_pid" 2>/dev/null; then
    kill "$kelvarin_pid" 2>/dev/null || true
  fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

cc -std=c11 -O2 "$here/first_frame.c" -lX11 -o "$work/first_frame"

# Starts a private Xvfb with ARGS and points DISPLAY at it; sets server_pid.
start_server() {
  : >"$work/display"
  Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$work/display" >>"$work/xvfb.log" 2>&1 &
  server_pid=$!
  pids+=("$server_pid")
  for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
  [[ -s "$work/display" ]] || { echo "window.sh: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$work/display")"
}
# Starts openbox on it when installed; sets wm.
start_wm() {
  wm=none
  if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
    wm=openbox
    sleep 1  # let it take over the screen before the window appears
  fi
}

start_server -screen 0 1280x1024x24 -dpi 96
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
start_wm

cpu_ns() { awk '{ print $1 }' "/proc/$kelvarin_pid/schedstat"; }
pct() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { printf "%.2f", (b - a) / 1e9 / t * 100 }'; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { print b - a }'; }

"$work/first_frame" "Kelvarin 1.06" 5000 "$bin" --stats >"$work/probe" 2>"$work/stats" || {
  echo "window.sh: no first frame within 5 s" >&2
  exit 1
}
kelvarin_pid=$(awk '/^pid/ { print $2 }' "$work/probe")
first_frame=$(awk '/^first_frame_ms/ { print $2 }' "$work/probe")
launched=$(now)  # within a few ms of the first frame

# The lull: nothing alive until 150 ticks have passed.
sleep 1
t0=$(now); c0=$(cpu_ns)
sleep 4
idle_t=$(elapsed "$t0"); c1=$(cpu_ns)
idle=$(pct "$c0" "$c1" "$idle_t")

# The automatic battle starts 6 s after the start; give it one more second.
while awk -v e="$(elapsed "$launched")" 'BEGIN { exit !(e < 7) }'; do sleep 0.1; done
t0=$(now); c0=$(cpu_ns)
sleep "$battle"
battle_t=$(elapsed "$t0"); c1=$(cpu_ns)
busy=$(pct "$c0" "$c1" "$battle_t")
peak_kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$kelvarin_pid/status")

# Escape ends the program, which then prints its statistics.
win=$(xdotool search --name '^Kelvarin 1\.06$' | head -n 1)
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win" || true
xdotool key --clearmodifiers Escape
for _ in $(seq 100); do kill -0 "$kelvarin_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$kelvarin_pid" 2>/dev/null; then
  echo "window.sh: Escape did not end the program" >&2
fi

echo "binary $bin"
echo "display $DISPLAY 1280x1024x24, window manager $wm, $(nproc) cores"
echo "first_frame_ms $first_frame"
echo "cpu_idle_pct $idle"
echo "cpu_battle_pct $busy (over $(printf %.1f "$battle_t") s)"
awk -v kb="$peak_kb" 'BEGIN { printf "peak_rss_mb %.1f\n", kb / 1024 }'
cat "$work/stats"

# --- the screensaver modes and full screen ------------------------------------

cc -std=c11 -O2 "$here/saver_probe.c" -lX11 -lXext -o "$work/saver_probe"
ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }

# measure NAME SECONDS PROBE_ARGS...: one run through saver_probe, measured
# for SECONDS (0: only its start and end); prints its line and --stats lines.
measure() {
  local name=$1 seconds=$2
  shift 2
  coproc PROBE { "$work/saver_probe" "$@" 2>"$work/saver_stats"; }
  local out=${PROBE[0]} in=${PROBE[1]} probe_pid=$PROBE_PID
  pids+=("$probe_pid")
  local key pid first term status figures="cpu_pct - server_cpu_pct -"
  read -r key pid <&"$out"
  if ! read -r key first <&"$out"; then
    echo "$name: no battle within 5 s"
    return
  fi
  if ((seconds > 0)); then
    sleep 1
    local t0 c0 s0 t
    t0=$(now); c0=$(ns "$pid"); s0=$(ns "$server_pid")
    sleep "$seconds"
    t=$(elapsed "$t0")
    figures="cpu_pct $(pct "$c0" "$(ns "$pid")" "$t") server_cpu_pct $(pct "$s0" "$(ns "$server_pid")" "$t")"
  fi
  local peak_kb
  peak_kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  echo term >&"$in"
  read -r key term <&"$out"
  read -r key status <&"$out"
  wait "$probe_pid" || true
  echo "$name first_battle_ms $first $figures" \
    "peak_rss_mb $(awk -v kb="$peak_kb" 'BEGIN { printf "%.1f", kb / 1024 }')" \
    "term_to_exit_ms $term status $status"
  sed 's/^/  /' "$work/saver_stats"
}

start_server -screen 0 1280x1024x24 -dpi 96
measure window_id_shm "$battle" --host 1280x1024 5000 "$bin" --stats --window-id HOST
measure root 0 5000 "$bin" --stats --root

start_server -screen 0 1280x1024x24 -extension MIT-SHM
measure window_id_socket "$battle" --host 1280x1024 5000 "$bin" --stats --window-id HOST

start_server -screen 0 1920x1080x24 -dpi 96
start_wm
echo "display $DISPLAY 1920x1080x24, window manager $wm"
measure fullscreen "$battle" 5000 "$bin" --stats --fullscreen
