#!/usr/bin/env bash
# The real window, end to end: a private Xvfb display (24-bit) with openbox,
# the real kelvarin binary under strace, driven by xdotool and checked with
# screenshots.
#   window_e2e.sh KELVARIN SCREEN_PROBE
# Needs Xvfb, openbox, xdotool, ImageMagick's import, xprop, xwininfo,
# xmessage and strace (scripts/setup.sh --test installs them).
set -euo pipefail

kelvarin=$1
probe=$2
source "$(dirname "$0")/e2e_lib.sh"
need Xvfb openbox xdotool import xprop xwininfo xdpyinfo xmessage strace

# Every wait below is on something the test can see, with a deadline far
# beyond what it takes on a loaded machine; the deadline only matters when the
# program is at fault.

# --- the display and the window manager --------------------------------------

start_xvfb -screen 0 1280x1024x24 -dpi 96
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XAUTHORITY
step "Xvfb on $DISPLAY"
start_openbox
step "openbox running"

# --- the program, under strace -----------------------------------------------

# A home, a runtime folder and a session bus address of its own, so that the
# platform plumbing has nothing to create and nothing to launch.
private_home
DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/no-bus" strace -f -qq -o "$work/strace.log" \
  -e trace=%file,socket,connect,ftruncate -e signal=none \
  "$kelvarin" >"$work/stdout" 2>"$work/stderr" &
kelvarin_pid=$!
pids+=("$kelvarin_pid")

wait_for_window
step "window $win captioned \"Kelvarin 1.06\""

read -r cx cy cw ch < <(client)
[[ "$cw" == 713 && "$ch" == 597 ]] || fail "initial client area ${cw}x${ch}, expected 713x597"
step "initial client area ${cw}x${ch}"

# Polls COMMAND until it succeeds with the client area unchanged over the
# last half second: a resize and whatever the program does about it are over.
settled() {
  local seconds=$1
  shift
  local last="" since=""
  steady() {
    "$@" || return 1
    local now
    now=$(client)
    if [[ "$now" != "$last" ]]; then
      last=$now since=$(date +%s.%N)
      return 1
    fi
    awk -v now="$(date +%s.%N)" -v since="$since" 'BEGIN { exit !(now - since >= 0.5) }'
  }
  poll "$seconds" steady "$@"
}

# Takes a screenshot and sets sx sy sw sh to the surface's drawable inside, in
# screen pixels, shrunk by one pixel on each side; fails when there is none.
find_surface() {
  local found
  read -r cx cy cw ch < <(client)
  screenshot
  found=$("$probe" "$work/shot.png" --surface "$cx" "$cy" "$cw" "$ch")
  [[ -n "$found" ]] || return 1
  read -r sx sy sw sh <<<"$found"
  sx=$((sx + 1)) sy=$((sy + 1)) sw=$((sw - 2)) sh=$((sh - 2))
  ((sw > 0 && sh > 0))
}
activate() { xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true; }

# --- a left click shows the flagship's green rear edge near the click ----------

activate
find_surface || fail "no drawing surface found in the window"
step "surface inside ${sw}x${sh} at $((sx - cx)),$((sy - cy)) in the client area"
px=$((sx + sw / 2))
py=$((sy + sh / 2))
xdotool mousemove --sync "$px" "$py" click 1
green_near_click() {
  screenshot
  measure $((px - 30)) $((py - 30)) 61 61 && (($(count green) >= 3))
}
poll 15 green_near_click || fail "no green (50, 255, 50) near the click at $px,$py: $counts"
step "left click: green rear edge near the click"

# --- resizing below 2000 twips snaps back -------------------------------------

xdotool windowsize "$win" 40 40
# Made smaller than the original, but not below 2000 twips outside.
snapped_back() {
  read -r cx cy cw ch < <(client)
  read -r fl fr ft fb < <(frame)
  ((cw < 713 && ch < 597 && cw + fl + fr >= 133 && ch + ft + fb >= 133))
}
settled 15 snapped_back ||
  fail "the window did not settle smaller, at 2000 twips or more: client ${cw}x${ch}"
step "resized below 2000 twips: outer $((cw + fl + fr))x$((ch + ft + fb))"
xdotool windowsize "$win" 713 597
full_size() {
  read -r cx cy cw ch < <(client)
  ((cw == 713 && ch == 597))
}
settled 15 full_size || fail "the window did not settle back at 713x597: client ${cw}x${ch}"

# The picture is back: a surface of full size with only the battle's own
# colours on it, and at least one ship.
picture_back() {
  find_surface && ((sw > 400 && sh > 300)) && measure "$sx" "$sy" "$sw" "$sh" &&
    (($(count foreign) == 0 && $(count team) + $(count grey) > 0))
}

# Gives the surface a fleet to show.
spawn() {
  activate
  find_surface || fail "no drawing surface found in the window"
  xdotool mousemove --sync $((sx + sw / 3)) $((sy + sh / 3)) click 3
  poll 15 picture_back || fail "no ship on the surface after a click: $counts"
}

# --- minimise and restore -----------------------------------------------------

spawn
xdotool windowminimize --sync "$win"
iconic() {
  xprop -id "$win" WM_STATE | grep -q 'Iconic' && xwininfo -id "$win" | grep -q 'IsUnMapped'
}
poll 15 iconic || fail "the window did not minimise"
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowmap --sync "$win"
poll 15 picture_back || fail "the picture did not come back after restoring: $counts"
step "minimised and restored: the picture is back"

# --- cover and uncover --------------------------------------------------------

find_surface || fail "no drawing surface found in the window"
xmessage -geometry "$((sw / 2))x$((sh / 2))+$((sx + 20))+$((sy + 20))" \
  -bg white -fg white "covering" &
cover_pid=$!
pids+=("$cover_pid")
covered() {
  screenshot
  measure "$sx" "$sy" "$sw" "$sh" && (($(count foreign) > 1000))
}
poll 15 covered || fail "the covering window never showed over the surface"
kill "$cover_pid"
wait "$cover_pid" 2>/dev/null || true
poll 15 picture_back || fail "the picture did not come back after uncovering: $counts"
step "covered and uncovered: the picture is back"

# --- Escape ends the program at once, with status 0 ----------------------------

activate
xdotool key --clearmodifiers Escape
pressed=$(date +%s.%N)
ends_cleanly 1 "$kelvarin_pid" Escape
step "Escape: exit status 0 after $(calc "$(date +%s.%N) - $pressed") s"

# --- nothing written, no network ----------------------------------------------

[[ ! -s "$work/stdout" ]] || fail "the program printed on standard output: $(head -c 300 "$work/stdout")"

log="$work/strace.log"
# Opening for writing, creating, renaming, removing or linking a file.
writes=$(grep -E '(open|openat|openat2)\(.*(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC)' "$log" |
  grep -vE '"/dev/(null|shm/[^"]*|dri/[^"]*|tty)"' || true)
changes=$(grep -E '^[0-9]+ +(creat|rename|renameat2?|unlink|unlinkat|mkdir|mkdirat|link|linkat|symlink|symlinkat|truncate|ftruncate|mknod|mknodat)\(' "$log" |
  grep -vE 'ftruncate\([0-9]+<?(/dev/shm|/memfd)' | grep -v '= -1 ' || true)
sockets=$(grep -E 'socket\((AF_INET|AF_INET6|PF_INET|PF_INET6)\b' "$log" || true)
if [[ -n "$writes$changes" ]]; then
  fail "files written:"$'\n'"$writes$changes"
fi
[[ -z "$sockets" ]] || fail "network sockets opened:"$'\n'"$sockets"
step "strace: no file written, no network socket ($(wc -l <"$log") calls traced, $shots screenshots)"
echo "PASS"
