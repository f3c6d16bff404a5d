# shellcheck shell=bash
# Sourced by every end-to-end test: a scratch folder, the processes to end on
# exit, failing, timing, waiting for conditions with deadlines, the display
# servers, and reading the program's window and pixels.
#   KELVARIN_E2E_KEEP=1 keeps the scratch folder (screenshots, logs).

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvarin-e2e.XXXXXX")
started=$(date +%s.%N)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  if [[ -n "${KELVARIN_E2E_KEEP:-}" ]]; then
    echo "kept $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Under `set -e` a command that fails outside a condition ends the script with
# its own status and, often, nothing said: name it, where it was and the calls
# that led there. Only the script's own shell speaks (a command substitution
# that fails is named by the command that used it).
failed_command() {
  local status=$1 command=$2 i where
  ((BASH_SUBSHELL == 0)) || return 0
  where="${BASH_SOURCE[1]##*/}:${BASH_LINENO[0]}"
  for ((i = 2; i < ${#FUNCNAME[@]}; i++)); do
    where+=" in ${FUNCNAME[i - 1]}, called from ${BASH_SOURCE[i]##*/}:${BASH_LINENO[i - 1]}"
  done
  echo "FAIL: \`$command\` ended with status $status at $where" >&2
}
set -E
trap 'failed_command $? "$BASH_COMMAND"' ERR
calc() { awk "BEGIN { printf \"%.6f\\n\", $* }"; }
step() { printf '%6.2f s  %s\n' "$(calc "$(date +%s.%N) - $started")" "$*"; }

# Polls COMMAND every 0.1 s until it succeeds or SECONDS have passed.
poll() {
  local seconds=$1
  shift
  local deadline
  deadline=$(calc "$(date +%s.%N) + $seconds")
  until "$@"; do
    if awk -v now="$(date +%s.%N)" -v end="$deadline" 'BEGIN { exit !(now > end) }'; then
      return 1
    fi
    sleep 0.1
  done
}

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh --test)"
  done
}

# Starts a private Xvfb with ARGS on a display it picks itself (other runs may
# have theirs), points DISPLAY at it and sets xvfb_pid. Without -noreset the
# server resets whenever its last client leaves, and a client connecting at
# that moment is turned away: a test that ends one program and starts the
# next would fail now and then.
start_xvfb() {
  local file
  file=$(mktemp "$work/display.XXXXXX")
  Xvfb -displayfd 3 -nolisten tcp -noreset "$@" 3>"$file" >>"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  pids+=("$xvfb_pid")
  poll 10 test -s "$file" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(tr -d '[:space:]' <"$file")"
  poll 10 xdpyinfo_ok || fail "cannot connect to Xvfb on $DISPLAY"
}
xdpyinfo_ok() { xdpyinfo >/dev/null 2>&1; }

# Waits until process PID has ended and sets `status` to its exit status;
# fails after SECONDS.
ended_within() {
  local seconds=$1 pid=$2
  poll "$seconds" gone "$pid" || return 1
  status=0
  wait "$pid" || status=$?
}
gone() { ! kill -0 "$1" 2>/dev/null; }

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Starts openbox on DISPLAY and waits until it manages the screen. On a machine
# shared with other X servers, openbox has been seen to fail its first
# connection now and then while the display answers; so when it ends at once,
# it is started again (three tries in all).
start_openbox() {
  local try wm_pid
  wm_ready_or_gone() { wm_ready || ! kill -0 "$wm_pid" 2>/dev/null; }
  mkdir -p "$work/home"
  for try in 1 2 3; do
    HOME="$work/home" openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    pids+=("$wm_pid")
    poll 20 wm_ready_or_gone || break
    wm_ready && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(cat "$work/xvfb.log")"
    step "openbox ended at once (try $try): $(head -c 200 "$work/openbox.log")"
  done
  wm_ready || fail "openbox did not start: $(cat "$work/openbox.log")"
}

# A home and a runtime folder of the test's own, so that the platform plumbing
# finds nothing of the user's and has nothing to create.
private_home() {
  mkdir -p "$work/home" "$work/runtime"
  chmod 700 "$work/runtime"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
}

# Waits until process PID ends within SECONDS with status 0; WHAT says after
# what, for the failure message.
ends_cleanly() {
  local seconds=$1 pid=$2 what=$3
  ended_within "$seconds" "$pid" || fail "still running $seconds s after $what"
  ((status == 0)) || fail "exit status $status after $what"
}

# --stats printed its three lines, and only them, to the standard error FILE.
stats_printed() {
  [[ "$(grep -c . "$1")" == 3 && "$(head -c 6 "$1")" == "ticks " ]] ||
    fail "--stats did not print its three lines: $(cat "$1")"
}

# Sets `named` to the first visible window whose name matches the pattern NAME
# exactly; fails when there is none. Debian 12's xdotool gives up with status 1
# and prints nothing when any window goes away while it searches (a BadWindow
# error, as Wine makes and ends windows of its own), so a failure only means
# "not this time": poll it, and use `named` from the call that found it.
visible_named() {
  named=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || named=""
  [[ -n $named ]]
}

# Waits for the program's visible window and sets `win` to it.
wait_for_window() {
  poll 20 visible_named 'Kelvarin 1\.06' || fail "no visible window captioned \"Kelvarin 1.06\""
  win=$named
}

# The client area of `win`: absolute position and size.
client() {
  xwininfo -id "$win" | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF}
    END {print x, y, w, h}'
}

# The frame extents of `win` (left, right, top, bottom) as the window manager
# reports them.
frame() { xprop -id "$win" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ','; }

# A screenshot of the whole display into $work/shot.png.
shots=0
screenshot() {
  shots=$((shots + 1))
  import -silent -window root "$work/shot.png" 2>/dev/null
}
# Sorts the colours of the rectangle X Y W H of the last screenshot with
# screen_probe ($probe) into `counts`; `count NAME` reads one figure of them.
# shellcheck disable=SC2154 # probe is set by the script that sources this
measure() { counts=$("$probe" "$work/shot.png" "$@") && [[ -n "$counts" ]]; }
count() { awk -v n="$1" '{for (i = 1; i < NF; i += 2) if ($i == n) print $(i + 1)}' <<<"$counts"; }
