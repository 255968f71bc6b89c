#!/usr/bin/env bash
# The real settings dialog under Xvfb, driven with xdotool: the gamma bar moved to its right
# end and Return store Gamma 100 (read back with fvtool); a second opening left with Escape
# leaves the settings file byte for byte as it was. Both runs end with exit code 1.
# Usage: settings_dialog_gtk_test.sh FROSTVALE FVTOOL
set -euo pipefail
frostvale=$1
fvtool=$2
work=$(mktemp -d)
xvfb=
cleanup() {
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_CONFIG_HOME=$work/config
unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display")

# Starts the dialog and prints its window id once it is shown.
open_dialog() {
  "$frostvale" /c >"$work/out" 2>&1 &
  pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "Frostvale 3D Bildschirmschoner Konfiguration" | head -1)
  [[ -n "$window" ]] || fail "the dialog did not open"
}
# Waits for the dialog's process and checks its exit code.
closed_with_1() {
  local code=0
  timeout 30 tail --pid="$pid" -f /dev/null || fail "the dialog did not close"
  wait "$pid" || code=$?
  [[ $code -eq 1 ]] || { cat "$work/out" >&2; fail "exit code $code, expected 1"; }
}

open_dialog
read -r width height < <(xdotool getwindowgeometry --shell "$window" | awk -F= '/WIDTH|HEIGHT/ {print $2}' | xargs)
# Dialog units to pixels from the window's own size (382 units wide, 263 high less 54 pixels).
x=$(( (81 + 57) * width / 382 ))
y=$(( (100 + 6) * (height + 54) / 263 ))
xdotool mousemove --window "$window" "$x" "$y" click 1
sleep 0.3
xdotool key End
sleep 0.3
xdotool key Return
closed_with_1
settings=$("$fvtool" settings show)
grep -q '"Gamma": *100' <<<"$settings" || fail "Gamma not stored: $settings"
file=$XDG_CONFIG_HOME/frostvale/settings.conf
cp "$file" "$work/before"

open_dialog
xdotool mousemove --window "$window" 10 10 click 1
sleep 0.3
xdotool key Escape
closed_with_1
cmp -s "$file" "$work/before" || fail "Escape changed the settings file"
echo "settings dialog: OK stores, Escape leaves the file"
