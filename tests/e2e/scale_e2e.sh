#!/usr/bin/env bash
# The real window at the sizes and scales it must keep up with, on a private
# 3840 x 2160 Xvfb display (24-bit) with openbox, read straight from the
# screen by screen_probe:
#   - at the default size and at 3840 x 2160: after a battle of 12 fleets and
#     a purge, the whole surface is black (a rectangle that was drawn on and
#     not put on the screen would leave stale pixels);
#   - with QT_SCALE_FACTOR=2: lines are one device pixel wide (lit pixels
#     whose aligned 2 x 2 block is not wholly lit), and a click lands at the
#     same logical point as at factor 1.
#   scale_e2e.sh KELVARIN SCREEN_PROBE
set -euo pipefail

kelvarin=$1
probe=$2
source "$(dirname "$0")/e2e_lib.sh"
need Xvfb openbox xdotool xprop xwininfo xdpyinfo

start_xvfb -screen 0 3840x2160x24 -dpi 96
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XAUTHORITY QT_SCALE_FACTOR
start_openbox
step "Xvfb 3840x2160 on $DISPLAY with openbox"
private_home

# Starts the program (with the environment given, e.g. QT_SCALE_FACTOR=2) and
# sets win to its window.
launch() {
  env "$@" "$kelvarin" >"$work/stdout" 2>&1 &
  kelvarin_pid=$!
  pids+=("$kelvarin_pid")
  wait_for_window
}
quit() {
  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers Escape
  ends_cleanly 2 "$kelvarin_pid" Escape
}

# Sets sx sy sw sh to the surface's inside on the screen at a scale factor
# (its border is 2 x factor screen pixels, its inside 10 x factor from the
# client area's corner); fails until the window shows it there.
find_surface() {
  local factor=$1 found
  read -r cx cy cw ch < <(client)
  found=$("$probe" screen --surface "$cx" "$cy" "$cw" "$ch")
  [[ -n "$found" ]] || return 1
  read -r sx sy sw sh <<<"$found"
  local more=$((2 * factor - 2))
  sx=$((sx + more)) sy=$((sy + more)) sw=$((sw - 2 * more)) sh=$((sh - 2 * more))
  ((sw > 0 && sh > 0 && sx - cx == 10 * factor && sy - cy == 10 * factor))
}
on_surface() { counts=$("$probe" screen "$sx" "$sy" "$sw" "$sh"); }
surface_black() { on_surface && (($(count black) == sw * sh)); }
# Ships, and shots or debris: the battle is drawing all over the surface.
fighting() { on_surface && (($(count team) + $(count grey) > 100 && $(count particle) > 0)); }

# --- after a battle and a purge, the surface is black --------------------------

# A client area of WxH, or the largest the screen holds with the frame.
fit_window() {
  local w=$1 h=$2 l r t b
  read -r l r t b < <(frame)
  w=$((w < 3840 - l - r ? w : 3840 - l - r)) h=$((h < 2160 - t - b ? h : 2160 - t - b))
  xdotool windowmove --sync "$win" 0 0 >/dev/null 2>&1 || true
  xdotool windowsize "$win" "$w" "$h"
  size=${w}x${h}
  sized() {
    read -r cx cy cw ch < <(client)
    [[ "${cw}x${ch}" == "$size" ]] && ((cx + cw <= 3840 && cy + ch <= 2160))
  }
  poll 5 sized || fail "the client area is ${cw}x${ch} at $cx,$cy, not $size on the screen"
}

for wanted in 713x597 3840x2160; do
  launch
  fit_window "${wanted%x*}" "${wanted#*x}"
  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
  poll 5 find_surface 1 || fail "no surface at $size"
  for j in 0 1 2; do
    for i in 0 1 2 3; do
      xdotool mousemove --sync $((sx + (2 * i + 1) * sw / 8)) $((sy + (2 * j + 1) * sh / 6)) click 1
    done
  done
  poll 30 fighting || fail "no battle on the surface at $size: $counts"
  step "$size: ships and gunfire on the surface"
  xdotool key --clearmodifiers Return
  if ! poll 15 surface_black; then
    [[ -z "${KELVARIN_E2E_KEEP:-}" ]] || import -window root "$KELVARIN_E2E_KEEP/stale.png"
    fail "stale pixels at $size after the purge (surface $sw x $sh at $sx,$sy): $counts"
  fi
  step "$size: battle, purge, and the whole ${sw}x${sh} surface is black"
  quit
done

# --- QT_SCALE_FACTOR=2: thin lines, and clicks at the same logical point -------

# Right-clicks a quarter across and a third down the surface's inside and
# checks that the fleet appears there: the centre of what it lights, in
# logical pixels from the inside's corner, within 20 of the click (a fleet is
# about that big and starts moving at once; a click mapped at the wrong scale
# lands a hundred or more away). Sets lx ly to that centre.
fleet_at() {
  local factor=$1 px py fx fy n
  px=$((sx + sw / 4)) py=$((sy + sh / 3))
  xdotool mousemove --sync "$px" "$py" click 3
  near_click() {
    read -r fx fy n < <("$probe" screen --centre $((px - 60 * factor)) $((py - 60 * factor)) \
      $((120 * factor)) $((120 * factor)))
    ((n > 0))
  }
  poll 5 near_click || fail "no fleet near the click at factor $factor"
  lx=$(calc "($fx - $sx) / $factor") ly=$(calc "($fy - $sy) / $factor")
  local ax ay
  ax=$(calc "($px - $sx) / $factor") ay=$(calc "($py - $sy) / $factor")
  awk -v a="$ax" -v b="$ay" -v c="$lx" -v d="$ly" \
    'BEGIN { exit !((a - c) ^ 2 + (b - d) ^ 2 <= 20 ^ 2) }' ||
    fail "a click at $ax,$ay put the fleet at $lx,$ly at factor $factor (logical pixels)"
}

launch QT_SCALE_FACTOR=1
poll 5 find_surface 1 || fail "no surface at factor 1"
fleet_at 1
read -r lx1 ly1 <<<"$lx $ly"
quit

launch QT_SCALE_FACTOR=2
poll 5 find_surface 2 || fail "no surface at factor 2"
fleet_at 2
step "a click lands at the same logical point: $lx,$ly at factor 2, $lx1,$ly1 at factor 1"
read -r _ lit _ split < <("$probe" screen --blocks "$sx" "$sy" "$sw" "$sh")
((lit > 0 && split * 4 >= lit)) || fail "lines are not one device pixel wide: lit $lit, split $split"
step "factor 2: $split of $lit lit pixels lie in 2x2 blocks not wholly lit"
quit
echo "PASS"
