#!/usr/bin/env bash
# The screensaver modes and full screen, end to end, on a private Xvfb whose
# root window is white: `kelvarin --window-id` into a host window made by
# host_window (teal), XSCREENSAVER_WINDOW with --root, --fullscreen under
# openbox and --root on the root window itself, checked with screenshots
# sorted by screen_probe; and hosted_pixels, which compares the host's pixels
# with the picture exactly, with MIT-SHM and (on a server without it) through
# the socket. Then, on a screen of two monitors, --fullscreen and --root.
#   screensaver_e2e.sh KELVARIN SCREEN_PROBE HOST_WINDOW HOSTED_PIXELS
set -euo pipefail

kelvarin=$1
probe=$2
host_window=$3
hosted_pixels=$4
source "$(dirname "$0")/e2e_lib.sh"
need Xvfb openbox xdotool import xdpyinfo xprop xrandr

screen_w=640 screen_h=480
start_xvfb -screen 0 ${screen_w}x${screen_h}x24 -wr
step "Xvfb on $DISPLAY, white root"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XSCREENSAVER_WINDOW XAUTHORITY
private_home

drawn() { echo $(($(count team) + $(count grey) + $(count particle))); }

# A battle fills the rectangle: ships, and nothing but the battle's colours
# (no white root, no teal host left).
battle_in() {
  screenshot && measure "$@" && (($(count foreign) == 0 && $(count team) > 0))
}
# Nothing of the battle, not even its black, outside the rectangle X Y W H.
untouched_outside() {
  local x=$1 y=$2 w=$3 h=$4 total=0
  for strip in "0 0 $screen_w $y" "0 $((y + h)) $screen_w $screen_h" "0 $y $x $h" \
    "$((x + w)) $y $screen_w $h"; do
    # shellcheck disable=SC2086
    measure $strip || return 1
    total=$((total + $(count black) + $(drawn)))
  done
  ((total == 0))
}

# Makes a host window at X Y W H; sets `host` (its id) and `host_pid`.
make_host() {
  "$host_window" "$@" >"$work/host" &
  host_pid=$!
  pids+=("$host_pid")
  poll 10 test -s "$work/host" || fail "host_window gave no id"
  host=$(cat "$work/host")
}
# Starts kelvarin with ARGS; sets `kpid`.
start() {
  "$kelvarin" "$@" >"$work/stdout" 2>"$work/stderr" &
  kpid=$!
  pids+=("$kpid")
}
# For a failure: whether the program started last still runs, and what it said.
program() {
  if kill -0 "$kpid" 2>/dev/null; then
    echo "kelvarin running, said: $(cat "$work/stderr")"
  else
    echo "kelvarin ended, said: $(cat "$work/stderr")"
  fi
}

# --- --window-id: inside the host, nothing outside, follows a resize -------

make_host 40 30 320 240
start --stats --window-id "$host"
poll 10 battle_in 40 30 320 240 || fail "no battle filling the host: $counts; $(program)"
untouched_outside 40 30 320 240 || fail "drawn outside the host: $counts"
step "--window-id $host: a battle fills the host, nothing outside it"

xdotool windowsize "$host" 480 360
poll 10 battle_in 40 30 480 360 ||
  fail "the battle did not take the resized host: $counts; $(program)"
untouched_outside 40 30 480 360 || fail "drawn outside the resized host: $counts"
step "host resized to 480x360: the battle fills it"

kill -TERM "$kpid"
ends_cleanly 2 "$kpid" SIGTERM
stats_printed "$work/stderr"
[[ ! -s "$work/stdout" ]] || fail "printed on standard output"
step "SIGTERM: status 0, statistics printed"
kill "$host_pid"

"$hosted_pixels" shm >"$work/pixels" 2>&1 || fail "$(cat "$work/pixels")"
step "MIT-SHM: the host shows the picture exactly, after a battle, resizes and a new map"

# --- the host destroyed; the option wins over XSCREENSAVER_WINDOW ----------

make_host 100 100 200 150
XSCREENSAVER_WINDOW=0x1 start --window-id "$host"
poll 10 battle_in 100 100 200 150 || fail "no battle in the second host: $counts; $(program)"
kill "$host_pid"
ends_cleanly 2 "$kpid" "its host was destroyed"
[[ ! -s "$work/stderr" ]] || fail "printed after the host was destroyed: $(cat "$work/stderr")"
step "host destroyed: status 0, nothing printed"

# --- XSCREENSAVER_WINDOW with --root; bad ids ---------------------------------

make_host 200 160 240 180
XSCREENSAVER_WINDOW=$host start -root
poll 10 battle_in 200 160 240 180 ||
  fail "no battle in the XSCREENSAVER_WINDOW host: $counts; $(program)"
untouched_outside 200 160 240 180 || fail "drawn outside the XSCREENSAVER_WINDOW host: $counts"
kill -INT "$kpid"
ends_cleanly 2 "$kpid" SIGINT
step "XSCREENSAVER_WINDOW=$host with -root: inside only; SIGINT: status 0"
kill "$host_pid"

status=0
timeout 10 "$kelvarin" --window-id 0x1 >/dev/null 2>"$work/stderr" || status=$?
((status == 1)) && [[ "$(grep -c . "$work/stderr")" == 1 ]] ||
  fail "an id naming no window: status $status, $(cat "$work/stderr")"
step "an id naming no window: status 1, one line"

# --- without MIT-SHM the pixels go through the socket -------------------------

outer_display=$DISPLAY
start_xvfb -screen 0 640x480x24 -wr -extension MIT-SHM
"$hosted_pixels" socket >"$work/pixels" 2>&1 || fail "$(cat "$work/pixels")"
step "without MIT-SHM: the host shows the picture exactly, after a battle, resizes and a new map"
export DISPLAY=$outer_display

# --- --fullscreen under a window manager covers the screen --------------------

start_openbox
screenshot && measure 0 0 640 480 && (($(count foreign) == 640 * 480)) ||
  fail "the screen is not white before full screen: $counts"
start --fullscreen
poll 10 battle_in 0 0 640 480 ||
  fail "full screen does not cover the screen with a battle: $counts; $(program)"
step "--fullscreen under openbox: the battle covers the whole screen"
wait_for_window
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Escape
ends_cleanly 2 "$kpid" "Escape in full screen"
step "Escape: status 0"

# --- --root without the variable draws on the root window ---------------------

start --root
poll 10 battle_in 0 0 640 480 || fail "no battle on the root window: $counts; $(program)"
kill -HUP "$kpid"
ends_cleanly 2 "$kpid" SIGHUP
step "--root: the battle on the root window; SIGHUP: status 0"

# --- two monitors: full screen on the pointer's, --root a battle in each ------

# One screen, two RandR monitors side by side: A 1280x1024 at 0,0 and B
# 1024x768 at 1280,0, which leaves a strip of 1024x256 below B that no
# monitor shows. Rectangles are read straight from the screen, which is
# quicker than a screenshot of it.
screen_w=2304 screen_h=1024
start_xvfb -screen 0 ${screen_w}x${screen_h}x24 -wr
set_monitor() { xrandr --setmonitor "$@" >/dev/null; }
set_monitor A 1280/338x1024/270+0+0 screen
set_monitor B 1024/270x768/203+1280+0 none
start_openbox
step "Xvfb on $DISPLAY: monitors A and B, openbox"

grab() { counts=$("$probe" screen "$@") && [[ -n "$counts" ]]; }
# A battle fills the rectangle X Y W H of the screen.
battle_at() { grab "$@" && (($(count foreign) == 0 && $(count team) > 0)); }
# Only black in the screen's right 1024 columns below row Y.
black_below() {
  grab 1280 "$1" 1024 $((screen_h - $1)) && (($(count black) == 1024 * (screen_h - $1)))
}

xdotool mousemove 1500 300
start --fullscreen
poll 10 battle_at 1280 0 1024 768 ||
  fail "full screen does not cover monitor B: $counts; $(program)"
screenshot
untouched_outside 1280 0 1024 768 || fail "full screen reaches beyond monitor B: $counts"
kill -TERM "$kpid"
ends_cleanly 2 "$kpid" SIGTERM
step "--fullscreen with the pointer on B: the battle covers exactly B"

# A battle in A and one in B, B being H rows high, and only black below B.
each_monitor() { battle_at 0 0 1280 1024 && battle_at 1280 0 1024 "$1" && black_below "$1"; }
start --root
poll 10 each_monitor 768 || fail "no battle in each monitor of --root: $counts; $(program)"
looks=0
deadline=$(calc "$(date +%s.%N) + 3")
while awk -v now="$(date +%s.%N)" -v end="$deadline" 'BEGIN { exit !(now < end) }'; do
  black_below 768 || fail "--root drew where no monitor is: $counts"
  looks=$((looks + 1))
done
step "--root: a battle in each monitor; for 3 s ($looks looks) only black below B"
xrandr --delmonitor B >/dev/null
set_monitor B 1024/270x512/135+1280+0 none
poll 10 each_monitor 512 || fail "--root did not follow B to 1024x512: $counts; $(program)"
kill -TERM "$kpid"
ends_cleanly 2 "$kpid" SIGTERM
step "B made 1024x512: its battle follows, black below it; SIGTERM: status 0"
echo "PASS"
