#!/usr/bin/env bash
# The installed package's screensaver under a real mate-screensaver daemon, on a
# private Xvfb with no window manager, session manager or logind, and a session
# bus of the test's own:
#   - the daemon lists it as the theme `screensavers-kelvarin` (from
#     /usr/share/applications/screensavers/kelvarin.desktop) and, activated,
#     runs it: within seconds a battle is on the screen;
#   - stopped with SIGSTOP for a second (as the daemon does while its unlock
#     dialog is up) and continued with SIGCONT, the battle goes on, and with no
#     burst of ticks to catch up: strace sees the program wait for its next
#     tick before it has sent a second picture;
#   - `mate-screensaver-command --deactivate` ends it.
# xfce4-screensaver reads the same files; Debian 12 does not have it.
# Run by scripts/check-package.sh while the package is installed.
#   mate_e2e.sh SCREEN_PROBE
set -euo pipefail
probe=$(realpath "$1")
source "$(dirname "$0")/e2e_lib.sh"
need Xvfb dbus-daemon gsettings mate-screensaver mate-screensaver-command strace import xdpyinfo
entry=/usr/share/applications/screensavers/kelvarin.desktop
[[ -f $entry ]] || fail "no $entry: install the package first"

start_xvfb -screen 0 640x480x24
private_home
# Set before the bus starts, so that the dconf service it starts for gsettings
# writes where the daemon reads.
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CURRENT_DESKTOP=MATE
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"
dbus-daemon --session --nofork --address="$DBUS_SESSION_BUS_ADDRESS" >"$work/dbus.log" 2>&1 &
pids+=("$!")
poll 10 test -S "$work/bus" || fail "no session bus: $(cat "$work/dbus.log")"
gsettings set org.mate.screensaver lock-enabled false
gsettings set org.mate.screensaver mode "'single'"
gsettings set org.mate.screensaver themes "['screensavers-kelvarin']"
[[ $(gsettings get org.mate.screensaver themes) == "['screensavers-kelvarin']" ]] ||
  fail "gsettings did not keep the theme"
step "Xvfb on $DISPLAY, a session bus, the daemon set to Kelvarin"

mate-screensaver --no-daemon >"$work/daemon.log" 2>&1 &
daemon=$!
pids+=("$daemon")
daemon_up() { mate-screensaver-command --query >/dev/null 2>&1; }
poll 20 daemon_up || fail "mate-screensaver does not answer: $(cat "$work/daemon.log")"
mate-screensaver-command --activate >/dev/null
# The hack is the daemon's child running the packaged program.
hack_started() {
  local child
  for child in $(pgrep -P "$daemon"); do
    if [[ $(readlink "/proc/$child/exe" 2>/dev/null) == /usr/games/kelvarin ]]; then
      hack=$child
      return 0
    fi
  done
  return 1
}
poll 10 hack_started || fail "the daemon started no kelvarin: $(cat "$work/daemon.log")"
battle_on_screen() { screenshot && measure 0 0 640 480 && (($(count team) > 0)); }
poll 15 battle_on_screen || fail "no battle on the screen: $counts"
step "--activate: the daemon runs kelvarin ($hack), a battle on the screen"

# The pictures the program sends from the moment it is continued, and its waits.
strace -p "$hack" -f -tt -e trace=poll,writev,write,sendmsg -o "$work/strace.log" 2>"$work/strace.err" &
tracer=$!
pids+=("$tracer")
poll 10 grep -q . "$work/strace.log" || fail "strace did not attach: $(cat "$work/strace.err")"
kill -STOP "$hack"
sleep 1
screenshot
cp "$work/shot.png" "$work/stopped.png"
kill -CONT "$hack"
changed() { screenshot && ! cmp -s "$work/shot.png" "$work/stopped.png"; }
poll 5 changed || fail "the battle did not go on after SIGCONT"
sleep 0.5
kill "$tracer"
wait "$tracer" 2>/dev/null || true
# After SIGCONT, the sends before the first poll that waits for the next tick
# (a timeout of 20 ms or more): the tick that was due, not a burst of 25.
sends=$(awk '/SIGCONT/ {on = 1; next}
  on && / poll\(.*\], 2, ([2-9][0-9]|[1-9][0-9][0-9]+)\)/ {waited = 1; exit}
  on && /(writev|write|sendmsg)\(/ {n++}
  END {print (waited ? n + 0 : "none")}' "$work/strace.log")
[[ $sends != none ]] ||
  fail "no wait for a tick after SIGCONT: $(grep -A20 SIGCONT "$work/strace.log" | head -n 20)"
((sends <= 3)) || fail "$sends sends after SIGCONT before the program waited: a burst of ticks"
step "SIGSTOP for a second, SIGCONT: the battle goes on; $sends send(s) before the first wait"

mate-screensaver-command --deactivate >/dev/null
poll 10 gone "$hack" || fail "kelvarin still running after --deactivate"
step "--deactivate ends it"
kill "$daemon"
echo "mate_e2e: all passed"
