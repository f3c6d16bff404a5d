#!/usr/bin/env bash
# The Windows build under Wine, end to end, on a private Xvfb (white root)
# with openbox, in a fresh Wine prefix made for the run under the build folder:
#   - the script runner prints byte for byte what the native one prints
#     (tests/cross/same_output.sh, with its three long battles), and the
#     battle's trigonometry hashes alike (tests/cross/same_trig.sh, with the
#     trig_sample programs beside both builds' runners: tests/cross/);
#   - the window: its caption and client size, the sunken surface, a click
#     drops a fleet near the pointer, Escape ends it with status 0, --stats;
#   - kelvarin.scr /s covers the screen with the battle (time to the first
#     battle told), ends on a key and on a mouse move, and a second /s leaves
#     at once;
#   - /p HWND into a window of preview_parent: a child filling it, following
#     its size, nothing drawn outside it, the end when it is destroyed;
#   - /c and no argument show the settings box; bad arguments give one
#     message box (or, for kelvarin.exe, standard error) and status 2.
# Wine 8 does not show what a process draws into a child of another
# process's window, so the preview's pixels are not looked at; and it keeps
# every window's pixels itself, so a window uncovered is not painted again
# by the program there, which this test therefore does not check.
#   wine_e2e.sh KELVARIN_EXE PREVIEW_PARENT_EXE SCREEN_PROBE NATIVE_KELVARIN_SCRIPT
set -euo pipefail

exe=$(realpath "$1")
preview_parent=$(realpath "$2")
probe=$(realpath "$3")
native=$(realpath "$4")
scr="${exe%.exe}.scr"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/e2e_lib.sh"
need wine wineboot wineserver Xvfb openbox xdotool import xdpyinfo xprop xwininfo
[[ -x "$scr" ]] || fail "no $scr beside $exe"

# The prefix, under the build folder; removed at the end with the rest.
export WINEPREFIX
WINEPREFIX="$(dirname "$exe")/wine-e2e-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" WINEARCH=win64
wine_done() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap 'wine_done; cleanup' EXIT

start_xvfb -screen 0 1024x768x24 -wr
private_home
unset XAUTHORITY
start_openbox
step "Xvfb on $DISPLAY with openbox"

rm -rf "$WINEPREFIX"
wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
wineserver -w
step "a fresh Wine prefix"
# One server for the whole run, so that each program starts quickly.
wineserver -p 600

# --- the script runner ------------------------------------------------------

"$here/../cross/same_output.sh" "$native" -- wine "$exe" >"$work/same.log" 2>&1 ||
  fail "the runner under Wine prints otherwise: $(grep -A12 DIFFERENT "$work/same.log" | head -n 40)"
step "runner: $(tail -n 1 "$work/same.log")"
"$here/../cross/same_trig.sh" "$(dirname "$native")/tests/cross/trig_sample" -- \
  wine "$(dirname "$exe")/tests/cross/trig_sample.exe" >"$work/trig.log" 2>&1 ||
  fail "the trigonometry under Wine differs: $(cat "$work/trig.log")"
step "$(cat "$work/trig.log")"

# --- helpers ------------------------------------------------------------------

drawn() { echo $(($(count team) + $(count grey) + $(count particle))); }
# Starts PROGRAM ARGS under Wine; sets `kpid`.
start() {
  wine "$@" >"$work/stdout" 2>"$work/stderr" &
  kpid=$!
  pids+=("$kpid")
}
# The visible window captioned exactly TEXT, if any.
captioned() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_caption() { [[ -n "$(captioned "$1")" ]]; }
# Waits for a message box captioned "Kelvarin 1.06", presses Enter in it and
# expects the program to end with STATUS.
answer_box() {
  local status_wanted=$1 what=$2 box
  poll 20 has_caption 'Kelvarin 1\.06' || fail "$what: no message box"
  box=$(captioned 'Kelvarin 1\.06')
  # Real key presses, into the box once it has the focus.
  poll 10 xdotool windowactivate --sync "$box" 2>/dev/null || fail "$what: cannot focus its box"
  xdotool key Return
  ended_within 20 "$kpid" || fail "$what: still running after Enter in its box"
  ((status == status_wanted)) || fail "$what: status $status, not $status_wanted"
}

# --- the window ---------------------------------------------------------------

start "$exe" --stats
poll 30 has_caption 'Kelvarin 1\.06' || fail "no window captioned \"Kelvarin 1.06\""
win=$(captioned 'Kelvarin 1\.06')
read -r cx cy cw ch < <(client)
[[ "$cw $ch" == "713 597" ]] || fail "client area ${cw}x$ch, not 713x597"
screenshot
read -r sx sy sw sh < <("$probe" "$work/shot.png" --surface "$cx" "$cy" "$cw" "$ch") ||
  fail "no surface in the client area"
# The picture inside a 2-pixel border at 8,8; its size follows from the outer
# size by the twips rule, so the frame it implies is a plausible one.
[[ $((sx - cx)) == 10 && $((sy - cy)) == 10 ]] || fail "picture at $((sx - cx)),$((sy - cy))"
frame_w=$(((((sw + 4) * 15 + 350) + 7) / 15 - cw))
frame_h=$(((((sh + 4) * 15 + 650) + 7) / 15 - ch))
((frame_w >= 0 && frame_w <= 32 && frame_h >= 0 && frame_h <= 64)) ||
  fail "picture ${sw}x$sh does not fit the resize rule (frame ${frame_w}x$frame_h)"
step "window: client 713x597, picture ${sw}x$sh at 10,10"

px=$((sx + sw / 3))
py=$((sy + sh / 3))
xdotool mousemove "$px" "$py" click 1
fleet_near_pointer() {
  screenshot && measure $((px - 60)) $((py - 60)) 120 120 && (($(count team) > 0))
}
# The lull's first battle comes after 6 s; the click's fleet long before.
poll 4 fleet_near_pointer || fail "a click dropped no fleet near the pointer"
step "window: a click drops a fleet"

xdotool windowactivate --sync "$win" 2>/dev/null || true
xdotool key Escape
ended_within 15 "$kpid" || fail "still running after Escape"
((status == 0)) || fail "status $status after Escape"
stats_printed "$work/stderr"
step "window: Escape ends it with status 0; $(sed -n 2p "$work/stderr")"

# --- the screensaver ----------------------------------------------------------

# Nothing but the battle's colours on the whole screen (no white root left),
# and ships among them.
battle_everywhere() { screenshot && measure 0 0 1024 768 && (($(count foreign) == 0 && $(count team) > 0)); }

xdotool mousemove 500 400
began=$(date +%s.%N)
start "$scr" /s
poll 20 battle_everywhere || fail "/s: no battle over the whole screen"
step "/s: the battle covers the screen $(calc "$(date +%s.%N) - $began") s after the start"
first=$kpid
start "$scr" /S
ended_within 15 "$kpid" || fail "a second /s did not leave at once"
((status == 0)) || fail "a second /s: status $status"
gone "$first" && fail "/s ended when a second one started"
xdotool key a
kpid=$first
ended_within 15 "$kpid" || fail "/s still running after a key"
((status == 0)) || fail "/s: status $status after a key"
step "/s: a second one leaves at once; a key ends it with status 0"

xdotool mousemove 500 400
start "$scr" -s
poll 20 battle_everywhere || fail "-s: no battle over the whole screen"
xdotool mousemove 502 401
sleep 1
gone "$kpid" && fail "/s ended on a move of 2 pixels"
xdotool mousemove 540 430
ended_within 15 "$kpid" || fail "/s still running after the mouse moved"
((status == 0)) || fail "/s: status $status after the mouse moved"
step "/s: ends on a mouse move, not on a twitch"

# --- the preview ----------------------------------------------------------------

mkdir "$work/preview"
wine "$preview_parent" 320 240 "$work/preview" >"$work/preview/hwnd" 2>"$work/preview/err" &
parent_pid=$!
pids+=("$parent_pid")
poll 20 test -s "$work/preview/hwnd" || fail "preview_parent gave no handle"
hwnd=$(tr -d '\r\n' <"$work/preview/hwnd")
poll 20 has_caption 'Preview parent' || fail "no preview parent window"
win=$(captioned 'Preview parent')
read -r px py pw ph < <(client)
start "$scr" /p "$hwnd"
child_is() { [[ "$(cat "$work/preview/child" 2>/dev/null)" == "$1" ]]; }
poll 20 child_is "320 240 1" || fail "/p: no child filling the preview ($(cat "$work/preview/child" 2>/dev/null))"
sleep 1
screenshot
nothing=0
for strip in "0 0 1024 $py" "0 $((py + ph)) 1024 $((768 - py - ph))" "0 $py $px $ph" \
  "$((px + pw)) $py $((1024 - px - pw)) $ph"; do
  # shellcheck disable=SC2086
  measure $strip || fail "cannot measure $strip"
  nothing=$((nothing + $(drawn)))
done
((nothing == 0)) || fail "/p: $nothing pixels of the battle outside the preview"
touch "$work/preview/resize"
poll 20 child_is "480 360 1" || fail "/p: the child did not follow the preview's size"
gone "$kpid" && fail "/p ended early"
touch "$work/preview/destroy"
ended_within 15 "$kpid" || fail "/p still running after its preview window went"
((status == 0)) || fail "/p: status $status after its preview window went"
gone "$parent_pid" && fail "preview_parent ended before the window went"
step "/p: a child filling the preview, following its size, ends with it"
[[ ! -s "$work/stderr" ]] || fail "/p printed: $(cat "$work/stderr")"

# --- settings and bad arguments -----------------------------------------------

start "$scr" /C
answer_box 0 "/c"
start "$scr"
answer_box 0 "no argument"
step "/c and no argument: the settings box"
start "$scr" /p
answer_box 2 "/p without a handle"
start "$scr" /p:12x
answer_box 2 "/p with a malformed handle"
start "$scr" /p 65530
answer_box 2 "/p with a handle that is no window"
start "$scr" /x
answer_box 2 "an unknown argument"
status=0
wine "$exe" --bogus >"$work/stdout" 2>"$work/stderr" || status=$?
((status == 2)) || fail "kelvarin.exe --bogus: status $status"
grep -q '^Usage: kelvarin' "$work/stderr" || fail "kelvarin.exe --bogus: no usage on standard error"
[[ ! -s "$work/stdout" ]] || fail "kelvarin.exe --bogus printed on standard output"
step "bad arguments: one message box (standard error for kelvarin.exe), status 2"

echo "wine_e2e: all passed"
