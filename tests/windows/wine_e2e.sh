#!/usr/bin/env bash
# The Windows build under Wine, end to end, on a private Xvfb (white root)
# with openbox and two monitors side by side, 1280 x 1024 at 0,0 and
# 1024 x 768 at 1280,0 (the 1024 x 256 below the second is no monitor's), in a
# fresh Wine prefix made for the run under the build folder:
#   - the script runner prints byte for byte what the native one prints
#     (tests/cross/same_output.sh, with its three long battles), and the
#     battle's trigonometry hashes alike (tests/cross/same_trig.sh, with the
#     trig_sample programs beside both builds' runners: tests/cross/);
#   - the installer, over an older version of itself: the programs, the
#     shortcut and the Installed-apps entry; the same package again changes
#     nothing, an older one is refused; the programs below run from where it
#     put them (kelvarin.scr from the system folder); uninstalling leaves no
#     file or machine setting behind, and the user's settings alone;
#   - the window: its caption and client size, the sunken surface, a click
#     drops a fleet near the pointer, Escape ends it with status 0, --stats;
#   - kelvarin.scr /s: a window and a battle on each monitor, nothing where
#     no monitor is (time to the first battles told); a monitor removed and
#     added again while it runs takes its window with it and brings one
#     back; a key ends them all, so does a mouse move, a twitch does not, and
#     a second /s leaves at once; a stored setting of another type is no
#     error;
#   - /p HWND into a window of preview_parent: a child filling it, following
#     its size, nothing drawn outside it, the end when it is destroyed;
#   - /c and no argument show the settings box: Cancel stores nothing, OK
#     stores "One battle across all screens", and /s then makes one window
#     over both monitors; bad arguments give one message box (or, for
#     kelvarin.exe, standard error) and status 2.
# Wine 8 does not show what a process draws into a child of another
# process's window, so the preview's pixels are not looked at; and it keeps
# every window's pixels itself, so a window uncovered is not painted again
# by the program there, which this test therefore does not check. Wine's
# Windows Installer puts a per-machine Start menu shortcut in the user's
# Start menu (Windows puts it in the one of all users), so the shortcut is
# looked for in either.
#   wine_e2e.sh KELVARIN_EXE PREVIEW_PARENT_EXE SCREEN_PROBE NATIVE_KELVARIN_SCRIPT KELVARIN_MSI
set -euo pipefail

exe=$(realpath "$1")
preview_parent=$(realpath "$2")
probe=$(realpath "$3")
native=$(realpath "$4")
msi=$(realpath "$5")
scr="${exe%.exe}.scr"
# Built beside preview_parent.
display_change="$(dirname "$preview_parent")/display_change.exe"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/e2e_lib.sh"
need wine wineboot wineserver Xvfb openbox xdotool import xdpyinfo xprop xwininfo xrandr msiinfo \
  msiextract wixl faketime
[[ -x "$scr" ]] || fail "no $scr beside $exe"
[[ -f "$display_change" ]] || fail "no $display_change beside $preview_parent"

# The prefix, under the build folder; removed at the end with the rest.
export WINEPREFIX
WINEPREFIX="$(dirname "$exe")/wine-e2e-prefix"
# No Gecko or Mono, and no menu entries of the host for the shortcuts.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d" WINEARCH=win64
wine_done() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap 'wine_done; cleanup' EXIT

screen_w=2304
screen_h=1024
start_xvfb -screen 0 "${screen_w}x${screen_h}x24" -wr
# The monitors, X Y W H; the server keeps them only with -noreset.
monitor_a="0 0 1280 1024"
monitor_b="1280 0 1024 768"
no_monitor="1280 768 1024 256"
xrandr --setmonitor A 1280/338x1024/270+0+0 screen >/dev/null
xrandr --setmonitor B 1024/270x768/203+1280+0 none >/dev/null
private_home
unset XAUTHORITY
start_openbox
step "Xvfb on $DISPLAY with openbox, monitors $(xrandr --listmonitors | awk 'NR > 1 {print $3}' | paste -sd ' ')"

rm -rf "$WINEPREFIX"
wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
wineserver -w
# Wine reads the monitors from Xinerama (which the server answers from the
# RandR monitors above), not from RandR, which knows one output.
x11_driver='HKCU\Software\Wine\X11 Driver'
wine reg add "$x11_driver" /v UseXRandR /t REG_SZ /d N /f >/dev/null
wineserver -k
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

# --- the installer --------------------------------------------------------------

drive=$WINEPREFIX/drive_c
property() { msiinfo export "$1" Property | sed -n "s/^$2\t\([^\r]*\).*/\1/p"; }
product=$(property "$msi" ProductCode)
version=$(property "$msi" ProductVersion)
# Windows writes 1.06 as 1.6.0.
read -r major minor < <(wine "$exe" --version | sed -n 's/^Kelvarin \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
[[ $version == "$((10#$major)).$((10#$minor)).0" ]] ||
  fail "the installer's version $version is not the program's $major.$minor"
arp="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
# msiexec ARGS, quiet; sets `status` (Windows' code modulo 256: 1603, a failure, is 67).
msiexec() {
  status=0
  wine msiexec "$@" /qn >/dev/null 2>&1 || status=$?
}
# Every file and folder of the drive (but Windows Installer's own folder,
# which Windows always has), and every value the machine's registry holds for
# Windows Installer's products and for Kelvarin.
machine() {
  find "$drive" ! -path "$drive/windows/Installer" -printf '%P\n' | sort
  for key in 'HKLM\Software\Kelvarin' 'HKLM\Software\Classes\Installer' "$arp" \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer'; do
    { wine reg query "$key" /s 2>/dev/null || true; } | tr -d '\r' | grep '^    ' || true
  done
}
# The installed files and their contents, the machine's values and the entry
# in Installed apps. (Wine writes the shortcut again, with the same bytes.)
installed() {
  find "$drive" -ipath '*kelvarin*' -type f -print0 | sort -z | xargs -0 sha256sum
  wine reg query 'HKLM\Software\Kelvarin' 2>&1 | tr -d '\r'
  wine reg query "$arp\\$product" 2>&1 | tr -d '\r'
}
machine >"$work/machine.before"

# An older version of the same files, made as the release's is.
mkdir "$work/older"
msiextract -C "$work/older" "$msi" >/dev/null
mv "$work/older/kelvarin.scr" "$work/older/Kelvarin/"
"$here/../../scripts/make-msi.sh" "$work/older/Kelvarin" 1.5.0 "$work/older.msi"
older=$(property "$work/older.msi" ProductCode)
msiexec /i "$(winepath -w "$work/older.msi")"
((status == 0)) || fail "installing version 1.5.0: status $status"
began=$(date +%s.%N)
msiexec /i "$(winepath -w "$msi")"
((status == 0)) || fail "installing $msi: status $status"
step "installer: installed over 1.5.0 in $(calc "$(date +%s.%N) - $began") s"
wine reg query "$arp\\$older" >/dev/null 2>&1 && fail "1.5.0 is still installed beside $version"

cmp "$drive/windows/system32/kelvarin.scr" "$scr" || fail "no kelvarin.scr in the system folder"
for file in kelvarin.exe README.txt LICENSE.txt; do
  cmp "$drive/Program Files/Kelvarin/$file" "$work/older/Kelvarin/$file" ||
    fail "no $file in Program Files\\Kelvarin"
done
shortcut=$(find "$drive/users" "$drive/ProgramData" -path '*/Start Menu/Programs/Kelvarin.lnk')
target='C:\Program Files\Kelvarin\kelvarin.exe'
[[ $(wc -l <<<"$shortcut") == 1 ]] && strings -a "$shortcut" | grep -xF "$target" >/dev/null ||
  fail "no Start menu shortcut to kelvarin.exe: $shortcut"
wine reg query 'HKLM\Software\Kelvarin' /v StartMenuShortcut >/dev/null 2>&1 ||
  fail "no machine value for the shortcut"
entry=$(wine reg query "$arp\\$product" | tr -d '\r') || fail "no entry $product in Installed apps"
for value in "DisplayName    REG_SZ    Kelvarin" "DisplayVersion    REG_SZ    $version" \
  "Publisher    REG_SZ    The Kelvarin developers"; do
  grep -qx "    $value" <<<"$entry" || fail "Installed apps: no $value in $entry"
done
icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s | tr -d '\r' |
  sed -n 's/^ *ProductIcon *REG_SZ *//p')
cmp "$(winepath -u "$icon")" "$here/../../data/icons/kelvarin.ico" ||
  fail "Installed apps shows no icon of ours: $icon"
wine reg query 'HKCU\Software\Kelvarin' >/dev/null 2>&1 && fail "the installer wrote the user's settings"
step "installer: kelvarin.scr in system32, Program Files\\Kelvarin, the shortcut," \
  "Installed apps: Kelvarin $version"

installed >"$work/installed.before"
msiexec /i "$(winepath -w "$msi")"
((status == 0)) || fail "the same package again: status $status"
installed | diff "$work/installed.before" - || fail "the same package again changed the installation"
msiexec /i "$(winepath -w "$work/older.msi")"
((status == 1603 % 256)) || fail "1.5.0 over $version: status $status, not 1603's"
installed | diff "$work/installed.before" - || fail "1.5.0, refused, changed the installation"
step "installer: the same package again changes nothing; an older one is refused"

# The programs as installed, from here on.
exe='C:\Program Files\Kelvarin\kelvarin.exe'
scr='C:\windows\system32\kelvarin.scr'

# --- helpers ------------------------------------------------------------------

drawn() { echo $(($(count team) + $(count grey) + $(count particle))); }
# Starts PROGRAM ARGS under Wine; sets `kpid`.
start() {
  wine "$@" >"$work/stdout" 2>"$work/stderr" &
  kpid=$!
  pids+=("$kpid")
}
# Waits for a box captioned "Kelvarin 1.06", presses KEYS in it (Enter when
# none are given) and expects the program to end with STATUS.
answer_box() {
  local status_wanted=$1 what=$2 box
  shift 2
  poll 20 visible_named 'Kelvarin 1\.06' || fail "$what: no box"
  box=$named
  # Real key presses, into the box once it has the focus.
  poll 10 xdotool windowactivate --sync "$box" 2>/dev/null || fail "$what: cannot focus its box"
  xdotool key "${@:-Return}"
  ended_within 20 "$kpid" || fail "$what: still running after Enter in its box"
  ((status == status_wanted)) || fail "$what: status $status, not $status_wanted"
}

# --- the window ---------------------------------------------------------------

start "$exe" --stats
poll 30 visible_named 'Kelvarin 1\.06' || fail "no window captioned \"Kelvarin 1.06\""
win=$named
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

# The rectangle X Y W H of the last screenshot is all the battle's colours (no
# white root left), ships among them.
battle_in() { measure "$@" && (($(count foreign) == 0 && $(count team) > 0)); }
# The rectangle X Y W H of the last screenshot is the white root alone.
root_in() { measure "$@" && (($(count foreign) == $3 * $4)); }
# shellcheck disable=SC2086 # the rectangles are four words
untouched() { root_in $no_monitor || fail "$1: the battle is drawn where no monitor is: $counts"; }
# shellcheck disable=SC2086
battle_on_each() { screenshot && untouched "$1" && battle_in $monitor_a && battle_in $monitor_b; }
# The rectangles (X Y W H) of the visible windows captioned "Kelvarin 1.06",
# one a line, sorted, in `rects`; fails when a window went during the search.
saver_windows() {
  local ids id
  ids=$(xdotool search --onlyvisible --name '^Kelvarin 1\.06$' 2>/dev/null) || return 1
  rects=$(for id in $ids; do win=$id client || exit 1; done | sort -n) && [[ -n $rects ]]
}
windows_are() { saver_windows && [[ $rects == "$1" ]]; }

# A value of another type than the stored setting's is no error: a battle on
# each screen.
wine reg add 'HKCU\Software\Kelvarin' /v Screens /t REG_SZ /d 1 /f >/dev/null 2>&1
xdotool mousemove 500 400
began=$(date +%s.%N)
start "$scr" /s
poll 20 battle_on_each /s || fail "/s: no battle on each monitor"
step "/s: a battle on each monitor $(calc "$(date +%s.%N) - $began") s after the start"
poll 10 windows_are "$monitor_a"$'\n'"$monitor_b" || fail "/s: windows at $rects"
# The battles go on, and nothing is drawn where no monitor is.
for _ in 1 2 3; do
  sleep 0.5
  battle_on_each /s || fail "/s: the battle on a monitor went"
done
step "/s: two windows, one on each monitor; nothing drawn where no monitor is"

# A monitor removed, then added again. Wine reads the monitors anew when the
# display settings are applied, as Windows does when a monitor comes or goes;
# display_change applies them until Wine sees COUNT monitors.
monitors_changed() {
  wine "$display_change" "$1" 2>"$work/display_change.log" ||
    fail "Wine did not take the change of monitors: $(cat "$work/display_change.log")"
}
# What Wine sees, for a failure.
wine_monitors() { wine "$display_change" --list 2>&1 | tr -d '\r' | paste -sd ','; }
# shellcheck disable=SC2086
b_is_root() { screenshot && root_in $monitor_b; }
xrandr --delmonitor B >/dev/null
monitors_changed 1
poll 10 windows_are "$monitor_a" ||
  fail "/s without the second monitor: windows at $rects; Wine's monitors: $(wine_monitors)"
poll 10 b_is_root || fail "/s without the second monitor: still drawn there: $counts"
# shellcheck disable=SC2086
battle_in $monitor_a || fail "/s without the second monitor: no battle on the first: $counts"
xrandr --setmonitor B 1024/270x768/203+1280+0 none >/dev/null
monitors_changed 2
poll 10 windows_are "$monitor_a"$'\n'"$monitor_b" ||
  fail "/s with the monitor back: windows at $rects; Wine's monitors: $(wine_monitors)"
poll 20 battle_on_each /s || fail "/s: no battle on the monitor added"
step "/s: a monitor removed takes its window with it, one added again gets a new one"
first=$kpid
start "$scr" /S
ended_within 15 "$kpid" || fail "a second /s did not leave at once"
((status == 0)) || fail "a second /s: status $status"
gone "$first" && fail "/s ended when a second one started"
xdotool key a
kpid=$first
ended_within 15 "$kpid" || fail "/s still running after a key"
((status == 0)) || fail "/s: status $status after a key"
step "/s: a second one leaves at once; a key ends them all with status 0"

# The mouse on the second monitor: its window takes the moves.
xdotool mousemove 1700 400
start "$scr" -s
poll 20 battle_on_each -s || fail "-s: no battle on each monitor"
xdotool mousemove 1702 401
sleep 1
gone "$kpid" && fail "/s ended on a move of 2 pixels"
xdotool mousemove 1740 430
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
poll 20 visible_named 'Preview parent' || fail "no preview parent window"
win=$named
read -r px py pw ph < <(client)
start "$scr" /p "$hwnd"
child_is() { [[ "$(cat "$work/preview/child" 2>/dev/null)" == "$1" ]]; }
poll 20 child_is "320 240 1" || fail "/p: no child filling the preview ($(cat "$work/preview/child" 2>/dev/null))"
sleep 1
screenshot
nothing=0
for strip in "0 0 $screen_w $py" "0 $((py + ph)) $screen_w $((screen_h - py - ph))" \
  "0 $py $px $ph" "$((px + pw)) $py $((screen_w - px - pw)) $ph"; do
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

# Sets `stored` to the type and the data of the stored setting.
read_stored() {
  stored=$(wine reg query 'HKCU\Software\Kelvarin' /v Screens 2>&1 | tr -d '\r' |
    sed -n 's/^ *Screens *//p')
}
start "$scr"
answer_box 0 "no argument, Cancel" alt+o Escape
read_stored
[[ $stored =~ ^REG_SZ\ +1$ ]] || fail "Cancel in the settings left \"$stored\""
start "$scr" /C
answer_box 0 "/c, OK" alt+o Return
read_stored
[[ $stored =~ ^REG_DWORD\ +0x1$ ]] || fail "OK in the settings stored \"$stored\""
step "/c and no argument: the settings box; Cancel stores nothing, OK the choice"

# Wine asks the window manager to make a window that covers a monitor full
# screen, and openbox makes a full-screen window cover one monitor (it has no
# _NET_WM_FULLSCREEN_MONITORS): this run is not managed, so that its window
# is where the program puts it.
wine reg add "$x11_driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
xdotool mousemove 500 400
start "$scr" /s
battle_across() { screenshot && battle_in 0 0 "$screen_w" "$screen_h"; }
poll 20 battle_across || fail "/s across all screens: no battle over the whole screen"
poll 10 windows_are "0 0 $screen_w $screen_h" || fail "/s across all screens: windows at $rects"
xdotool key a
ended_within 15 "$kpid" || fail "/s across all screens still running after a key"
((status == 0)) || fail "/s across all screens: status $status after a key"
wine reg delete "$x11_driver" /v Managed /f >/dev/null 2>&1
step "/s, one battle across all screens: one window over both monitors"
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

# --- removal ----------------------------------------------------------------------

wine reg add 'HKCU\Software\Kelvarin' /v Screens /t REG_DWORD /d 1 /f >/dev/null 2>&1
began=$(date +%s.%N)
msiexec /x "$(winepath -w "$msi")"
((status == 0)) || fail "uninstalling: status $status"
machine | diff "$work/machine.before" - || fail "uninstalling left these behind"
wine reg query 'HKCU\Software\Kelvarin' /v Screens 2>/dev/null | grep -q 'REG_DWORD *0x1' ||
  fail "uninstalling took the user's setting"
step "installer: uninstalled in $(calc "$(date +%s.%N) - $began") s, nothing left, the user's setting kept"

echo "wine_e2e: all passed"
