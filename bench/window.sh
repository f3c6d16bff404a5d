#!/usr/bin/env bash
# The real window under a private Xvfb display (3840 x 2160, 24-bit, with
# openbox when installed), at several window sizes in one run. For each size
# it launches `kelvarin --stats`, notes the first frame, sets the client area
# to the size, drops a full battle (12 fleets of the left button at fixed
# relative points of the surface), waits 2 s and measures for 20 s, ends the
# program with Escape and prints one line:
#   size WxH           the client area asked for (client: what it got, no
#                      larger than the screen holds with the frame: 3840 x
#                      2160 gives 3838 x 2135 with openbox)
#   first_frame_ms     launch to the first painted frame (at the default size)
#   cpu_pct            the program's CPU, all its threads, per cent of one core
#   user_pct, kernel_pct  the same split into user and kernel time (in the
#                      kernel's clock ticks, 10 ms: coarse over a short run)
#   xvfb_cpu_pct       the X server's CPU over the same time
#   peak_rss_mb        peak resident set size (VmHWM) over the whole run
#   ticks, interval_p99_ms, tick_median_us   from --stats, over the whole run
# With RUNS=N (default 1) it does all sizes N times, one size after the other,
# and ends with the median of each figure per size and the CPU ratio of each
# size to the first (within each run, then the median).
# CPU comes from /proc/PID/task/*/schedstat (nanoseconds on the CPU).
# With INSTRUCTIONS=1 the program runs under valgrind's callgrind, which
# counts the instructions it executes during the measured seconds: a figure
# that other work on the machine does not disturb (the CPU and memory figures
# of such a run are valgrind's, not the program's). It adds
#   instr_per_s        instructions a second of the program (all threads)
#   instr_per_tick     the same over the number of ticks in that time
# and CALLGRIND_KEEP=DIR keeps the counts for callgrind_annotate.
#
# Then (unless MODES=0) the screensaver modes and full screen (alone with
# SIZES=""), each
# launched by saver_probe, measured for the same time from 1 s after its
# first battle and ended by SIGTERM; one line each, all of them RUNS times:
#   window_id_shm     --window-id into a 1280x1024 host (pixels through MIT-SHM)
#   window_id_socket  the same on a server without MIT-SHM (through the socket)
#   root              --root on the 1280x1024 root window (start and end only)
#   fullscreen        --fullscreen on a 1920x1080 screen under openbox
# with first_battle_ms (launch to the first team colour on the screen),
# cpu_pct and server_cpu_pct (the program's and the X server's CPU, per cent
# of one core), peak_rss_mb, term_to_exit_ms (SIGTERM to the end) and the exit
# status, tick_median_us, and with INSTRUCTIONS=1 the instructions as above;
# each is followed by the run's --stats lines (in the screensaver modes a
# tick's time includes sending the changed pixels to the server). With RUNS=N
# it ends with the median of each figure per mode.
#
# Usage: bench/window.sh [KELVARIN_BINARY]   (default build/bench/kelvarin,
#        then build/release/kelvarin).
#   SIZES="713x597 3840x2160"  MEASURE_SECONDS=20  RUNS=1  MODES=1
#   MODES=host measures window_id_shm alone, HOST=WxH its host's size
#   (default 1280x1024; the window's default client area is 713x597).
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
# The window's caption is the program's version text.
caption=$("$bin" --version)
read -r -a sizes <<<"${SIZES-713x597 3840x2160}"
measure=${MEASURE_SECONDS:-20}
runs=${RUNS:-1}
modes=${MODES:-1}
host_only=0
if [[ $modes == host ]]; then modes=1 host_only=1; fi
host=${HOST:-1280x1024}

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

launcher=()
first_frame_timeout=5000
if [[ -n "${INSTRUCTIONS:-}" ]]; then
  launcher=(valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out")
  first_frame_timeout=120000
fi

cc -std=c11 -O2 "$here/first_frame.c" -lX11 -o "$work/first_frame"

# Starts a private Xvfb with ARGS and points DISPLAY at it; sets server_pid.
start_server() {
  : >"$work/display"
  Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$work/display" >>"$work/xvfb.log" 2>&1 &
  server_pid=$!
  pids+=("$server_pid")
  for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
  [[ -s "$work/display" ]] || { echo "window.sh: Xvfb did not start" >&2; exit 1; }
  DISPLAY=":$(head -n 1 "$work/display")"
  export DISPLAY
}
# Ends the server start_server started last (and with it its clients).
stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
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

start_server -screen 0 3840x2160x24 -dpi 96
xvfb_pid=$server_pid
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
start_wm

# Nanoseconds on the CPU of every thread of a process.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
# User and kernel time of the whole process in nanoseconds ("USER KERNEL"):
# fields 14 and 15 of /proc/PID/stat, counted after the name's parenthesis.
clock_tick=$(getconf CLK_TCK)
user_kernel_ns() {
  sed 's/.*) //' /proc/"$1"/stat | awk -v hz="$clock_tick" '{ printf "%.0f %.0f\n", $12 * 1e9 / hz, $13 * 1e9 / hz }'
}
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { print b - a }'; }
pct() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { printf "%.2f", (b - a) / 1e9 / t * 100 }'; }
client() { xwininfo -id "$1" | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w "x" h }'; }
# The median of numbers in a list separated by spaces, for the awk programs
# that sum up the runs.
awk_median='
  function median(list,   n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }'

# After a callgrind dump of the measured SECONDS: " instr_per_s N
# instr_per_tick M" (CALLGRIND_KEEP=DIR keeps the dump as callgrind.NAME.TIME).
callgrind_figures() {
  local seconds=$1 name=$2 instructions ticks
  if [[ -n "${CALLGRIND_KEEP:-}" ]]; then
    mkdir -p "$CALLGRIND_KEEP"
    cp "$work"/callgrind.out.1 "$CALLGRIND_KEEP/callgrind.$name.$(date +%s)"
  fi
  instructions=$(cat "$work"/callgrind.out.* 2>/dev/null |
    awk '/^summary:/ { s += $2; found = 1 } /^totals:/ { t += $2 } END { printf "%.0f", found ? s : t }')
  # The ticks in that time: the calls of tmr_Timer, whose name the dump gives
  # once, as "(id) name", and then by its id alone.
  ticks=$(cat "$work"/callgrind.out.* 2>/dev/null | awk '
    /^c?fn=\(/ { id = $0; sub(/^c?fn=/, "", id); name = id; sub(/\).*/, ")", id)
                 if (name != id) names[id] = name; if ($0 ~ /^cfn=/) callee = id }
    /^calls=/ { n = $0; sub(/^calls=/, "", n); split(n, f, " ")
                if (names[callee] ~ /tmr_Timer/) t += f[1] }
    END { print t + 0 }')
  awk -v i="$instructions" -v t="$seconds" -v n="$ticks" \
    'BEGIN { printf " instr_per_s %.0f instr_per_tick %.0f", i / t, (n > 0 ? i / n : 0) }'
}

# One size: prints the line described above.
measure_size() {
  local size=$1 w=${1%x*} h=${1#*x}
  rm -f "$work"/callgrind.out*
  "$work/first_frame" "$caption" "$first_frame_timeout" "${launcher[@]}" "$bin" --stats \
    >"$work/probe" 2>"$work/stats" || {
    echo "window.sh: no first frame in time" >&2
    exit 1
  }
  kelvarin_pid=$(awk '/^pid/ { print $2 }' "$work/probe")
  local first_frame win got
  first_frame=$(awk '/^first_frame_ms/ { print $2 }' "$work/probe")
  win=$(xdotool search --name "^${caption//./\\.}\$" | head -n 1)
  # No bigger than the screen holds with the window manager's frame.
  local l r t b
  read -r l r t b < <(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',') || true
  w=$((w < 3840 - ${l:-0} - ${r:-0} ? w : 3840 - ${l:-0} - ${r:-0}))
  h=$((h < 2160 - ${t:-0} - ${b:-0} ? h : 2160 - ${t:-0} - ${b:-0}))
  xdotool windowmove --sync "$win" 0 0 >/dev/null 2>&1 || true
  xdotool windowsize --sync "$win" "$w" "$h" >/dev/null 2>&1 || xdotool windowsize "$win" "$w" "$h"
  sleep 0.5
  got=$(client "$win")

  # 12 fleets on a 4 x 3 grid over the surface (which starts 10 pixels in and
  # ends 17 from the right and 37 from the bottom of the client area).
  local cw=${got%x*} ch=${got#*x}
  for j in 0 1 2; do
    for i in 0 1 2 3; do
      xdotool mousemove --window "$win" $((10 + (2 * i + 1) * (cw - 27) / 8)) \
        $((10 + (2 * j + 1) * (ch - 47) / 6)) click 1
    done
  done
  sleep 2
  local t0 c0 x0 t1 c1 x1 elapsed u0 k0 u1 k1
  [[ -z "${INSTRUCTIONS:-}" ]] || (cd "$work" && callgrind_control -z "$kelvarin_pid" >/dev/null)
  t0=$(now); c0=$(cpu_ns "$kelvarin_pid"); x0=$(cpu_ns "$xvfb_pid")
  read -r u0 k0 < <(user_kernel_ns "$kelvarin_pid")
  sleep "$measure"
  t1=$(now); c1=$(cpu_ns "$kelvarin_pid"); x1=$(cpu_ns "$xvfb_pid")
  read -r u1 k1 < <(user_kernel_ns "$kelvarin_pid")
  local instructions=
  if [[ -n "${INSTRUCTIONS:-}" ]]; then
    (cd "$work" && callgrind_control -d "$kelvarin_pid" >/dev/null)
    instructions=$(callgrind_figures "$measure" "$size")
  fi
  elapsed=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  local peak_kb
  peak_kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$kelvarin_pid/status")

  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win" || true
  xdotool key --clearmodifiers Escape
  for _ in $(seq 100); do kill -0 "$kelvarin_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$kelvarin_pid" 2>/dev/null; then
    echo "window.sh: Escape did not end the program" >&2
    kill "$kelvarin_pid"
  fi
  kelvarin_pid=

  printf 'size %s client %s first_frame_ms %s cpu_pct %s user_pct %s kernel_pct %s xvfb_cpu_pct %s peak_rss_mb %.1f ticks %s interval_p99_ms %s tick_median_us %s%s\n' \
    "$size" "$got" "$first_frame" "$(pct "$c0" "$c1" "$elapsed")" "$(pct "$u0" "$u1" "$elapsed")" \
    "$(pct "$k0" "$k1" "$elapsed")" "$(pct "$x0" "$x1" "$elapsed")" \
    "$(awk -v kb="$peak_kb" 'BEGIN { print kb / 1024 }')" \
    "$(awk '/^ticks/ { print $2 }' "$work/stats")" \
    "$(awk '/^interval_ms/ { print $5 }' "$work/stats")" \
    "$(awk '/^tick_us/ { print $3 }' "$work/stats")" "$instructions"
}

echo "binary $bin"
echo "display $DISPLAY 3840x2160x24, window manager $wm, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "battle: 12 fleets, CPU from 2 s after the last drop over $measure s"
((${#sizes[@]} > 0)) || : >"$work/lines"
for ((run = 1; run <= runs && ${#sizes[@]} > 0; run++)); do
  for size in "${sizes[@]}"; do
    measure_size "$size" | tee -a "$work/lines"
  done
done

# Medians per size, and the CPU of each size against the first size's in the
# same run.
awk -v first="${sizes[0]:-}" "$awk_median"'
  {
    for (i = 1; i < NF; i += 2) v[$i] = $(i + 1)
    size = v["size"]
    if (!(size in seen)) { seen[size] = 1; order[++count] = size }
    n[size]++
    for (k in v) if (k != "size" && k != "client") all[size, k] = all[size, k] " " v[k]
    if (size == first) base = v["cpu_pct"]
    else if (base > 0) all[size, "ratio"] = all[size, "ratio"] " " v["cpu_pct"] / base
  }
  END {
    if (n[first] < 2 && count < 2) exit
    print "medians over " n[first] " run(s):"
    for (c = 1; c <= count; c++) {
      s = order[c]
      line = sprintf("  %s first_frame_ms %s cpu_pct %s user_pct %s kernel_pct %s xvfb_cpu_pct %s peak_rss_mb %s interval_p99_ms %s", s,
        median(all[s, "first_frame_ms"]), median(all[s, "cpu_pct"]), median(all[s, "user_pct"]),
        median(all[s, "kernel_pct"]), median(all[s, "xvfb_cpu_pct"]),
        median(all[s, "peak_rss_mb"]), median(all[s, "interval_p99_ms"]))
      if (all[s, "instr_per_s"] != "") line = line sprintf(" instr_per_s %.0f instr_per_tick %.0f", median(all[s, "instr_per_s"]), median(all[s, "instr_per_tick"]))
      if (s != first && all[s, "ratio"] != "") line = line sprintf(" cpu_vs_%s %.2f", first, median(all[s, "ratio"]))
      print line
    }
  }' "$work/lines"

# --- the screensaver modes and full screen ------------------------------------

cc -std=c11 -O2 "$here/saver_probe.c" -lX11 -lXext -o "$work/saver_probe"
saver_timeout=5000
[[ -z "${INSTRUCTIONS:-}" ]] || saver_timeout=120000

# measure NAME SECONDS PROBE_ARGS...: one run through saver_probe, measured
# for SECONDS (0: only its start and end); prints its line and --stats lines.
measure() {
  local name=$1 seconds=$2
  shift 2
  rm -f "$work"/callgrind.out*
  coproc PROBE { "$work/saver_probe" "$@" 2>"$work/saver_stats"; }
  # coproc sets PROBE_PID.
  # shellcheck disable=SC2153
  local out=${PROBE[0]} in=${PROBE[1]} probe_pid=$PROBE_PID
  pids+=("$probe_pid")
  local pid first term status figures="cpu_pct - server_cpu_pct -" instructions=
  read -r _ pid <&"$out"
  if ! read -r _ first <&"$out"; then
    echo "$name: no battle within $((saver_timeout / 1000)) s"
    return
  fi
  if ((seconds > 0)); then
    sleep 1
    local t0 c0 s0 t
    [[ -z "${INSTRUCTIONS:-}" ]] || (cd "$work" && callgrind_control -z "$pid" >/dev/null 2>&1)
    t0=$(now); c0=$(cpu_ns "$pid"); s0=$(cpu_ns "$server_pid")
    sleep "$seconds"
    t=$(elapsed "$t0")
    figures="cpu_pct $(pct "$c0" "$(cpu_ns "$pid")" "$t") server_cpu_pct $(pct "$s0" "$(cpu_ns "$server_pid")" "$t")"
    if [[ -n "${INSTRUCTIONS:-}" ]]; then
      (cd "$work" && callgrind_control -d "$pid" >/dev/null 2>&1)
      instructions=$(callgrind_figures "$seconds" "$name")
    fi
  fi
  local peak_kb
  peak_kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  echo term >&"$in"
  read -r _ term <&"$out"
  read -r _ status <&"$out"
  wait "$probe_pid" || true
  echo "$name first_battle_ms $first $figures" \
    "peak_rss_mb $(awk -v kb="$peak_kb" 'BEGIN { printf "%.1f", kb / 1024 }')" \
    "term_to_exit_ms $term status $status" \
    "tick_median_us $(awk '/^tick_us/ { print $3 }' "$work/saver_stats")$instructions" |
    tee -a "$work/saver_lines"
  sed 's/^/  /' "$work/saver_stats"
}

for ((run = 1; run <= runs && modes; run++)); do
  stop_server
  start_server -screen 0 1280x1024x24 -dpi 96
  measure window_id_shm "$measure" --host "$host" "$saver_timeout" "${launcher[@]}" "$bin" \
    --stats --window-id HOST
  ((!host_only)) || continue
  measure root 0 "$saver_timeout" "${launcher[@]}" "$bin" --stats --root

  stop_server
  start_server -screen 0 1280x1024x24 -extension MIT-SHM
  measure window_id_socket "$measure" --host 1280x1024 "$saver_timeout" "${launcher[@]}" "$bin" \
    --stats --window-id HOST

  stop_server
  start_server -screen 0 1920x1080x24 -dpi 96
  start_wm
  echo "display $DISPLAY 1920x1080x24, window manager $wm"
  measure fullscreen "$measure" "$saver_timeout" "${launcher[@]}" "$bin" --stats --fullscreen
done

# Medians per mode of every figure.
((runs < 2 || !modes)) || awk "$awk_median"'
  NF > 2 {
    if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 }
    for (i = 2; i < NF; i += 2) if ($(i + 1) != "-") { if (!(($1, $i) in all)) keys[$1] = keys[$1] " " $i; all[$1, $i] = all[$1, $i] " " $(i + 1) }
  }
  END {
    print "medians over '"$runs"' runs:"
    for (c = 1; c <= count; c++) {
      m = order[c]; line = "  " m; n = split(keys[m], k, " ")
      for (i = 1; i <= n; i++) line = line " " k[i] " " median(all[m, k[i]])
      print line
    }
  }' "$work/saver_lines"
