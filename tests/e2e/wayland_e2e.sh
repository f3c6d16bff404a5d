#!/usr/bin/env bash
# The window under a Wayland compositor, natively: weston 10 with its
# headless back-end (pixman, so that its screenshooter works; --debug, so
# that it lets the screenshooter in) and no X server at all. kelvarin runs
# with DISPLAY and QT_QPA_PLATFORM unset, full screen so that the battle comes
# at once; weston-screenshooter's pictures are sorted by screen_probe.
#   wayland_e2e.sh KELVARIN SCREEN_PROBE
set -euo pipefail

kelvarin=$1
probe=$2
source "$(dirname "$0")/e2e_lib.sh"
need weston weston-screenshooter

private_home
mkdir -p "$work/shots"
unset DISPLAY QT_QPA_PLATFORM WAYLAND_DISPLAY XAUTHORITY
socket="kelvarin-e2e-$$"
weston --backend=headless-backend.so --use-pixman --debug --socket="$socket" \
  --width=640 --height=480 --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
poll 10 test -S "$XDG_RUNTIME_DIR/$socket" || fail "weston did not start: $(cat "$work/weston.log")"
export WAYLAND_DISPLAY=$socket
step "weston on $WAYLAND_DISPLAY"

# A screenshot of the whole output into `shot`.
screenshot() {
  rm -f "$work/shots"/*.png
  (cd "$work/shots" && timeout 10 weston-screenshooter >/dev/null 2>&1) || return 1
  shot=$(ls "$work/shots"/*.png 2>/dev/null | head -n 1)
  [[ -n "$shot" ]]
}
battle_covers() {
  screenshot && counts=$("$probe" "$shot" 0 0 640 480) &&
    (($(count team) > 0 && $(count foreign) == 0))
}

"$kelvarin" --stats --fullscreen >"$work/stdout" 2>"$work/stderr" &
kpid=$!
pids+=("$kpid")
poll 10 battle_covers || fail "no battle covering the output: ${counts:-no screenshot}"
step "a native full-screen window: the battle covers the output"

kill -TERM "$kpid"
ends_cleanly 2 "$kpid" SIGTERM
stats_printed "$work/stderr"
step "SIGTERM: status 0, statistics printed"
echo "PASS"
