#!/usr/bin/env bash
# The real XScreenSaver daemon runs frostvale as its GL hack: -activate shows the village
# in the daemon's window, -deactivate ends the hack within a second, in order (its log
# closed), and the daemon reports no trouble with it. Then --window-id of a preview-like
# window draws into it at its size.
# Usage: xscreensaver_test.sh FROSTVALE OUTDIR [END_TENTHS]: END_TENTHS bounds the end
# after -deactivate (10, one second; sanitizer builds get more).
set -uo pipefail
FROSTVALE=$1
OUT=$2
END_TENTHS=${3:-10}
. "$(dirname "$0")/host_common.sh"
command -v xscreensaver >/dev/null || skip "xscreensaver is not installed"
mkdir -p "$OUT"
start_x

visual=$(as_user /usr/libexec/xscreensaver/xscreensaver-gl-visual 2>&1)
[[ "$visual" =~ ^0x[0-9a-f]+$ ]] || skip "no GL visual on this X server: $visual"

cat >"$WORK/xscreensaver" <<CONF
mode:		one
selected:	0
timeout:	1:00:00
lock:		False
splash:		False
fade:		False
unfade:		False
programs:	GL: $FROSTVALE --root --log $WORK/hack.log \\n
CONF
install -m 0644 -o "$RUN_UID" "$WORK/xscreensaver" "$USER_HOME/.xscreensaver" 2>/dev/null ||
  cp "$WORK/xscreensaver" "$USER_HOME/.xscreensaver"

# Inside a session bus of its own, so nothing autolaunches one that outlives the test.
BUS=1 spawn "$WORK/daemon.log" xscreensaver -no-splash -verbose
wait_for "as_user xscreensaver-command -time >/dev/null 2>&1" 100 || fail "the daemon did not start: $(tail -3 "$WORK/daemon.log")"

as_user xscreensaver-command -activate >/dev/null || fail "xscreensaver-command -activate failed"
wait_for '[[ -n "$(hack_pids)" ]]' 100 || fail "the daemon started no frostvale: $(tail -5 "$WORK/daemon.log")"
wait_for 'grep -q "Snow renderer created" "$WORK/hack.log" 2>/dev/null' 3000 || fail "the hack did not start up"
sleep 4
read -r mean deviation < <(screenshot "$OUT/xscreensaver_activate.png") || fail "no screenshot"
echo "screenshot $OUT/xscreensaver_activate.png: mean $mean, deviation $deviation"
looks_like_village "$mean" "$deviation" || fail "the daemon's window does not show the village"

as_user xscreensaver-command -deactivate >/dev/null || fail "xscreensaver-command -deactivate failed"
wait_for '[[ -z "$(hack_pids)" ]]' "$END_TENTHS" || fail "frostvale still runs $END_TENTHS tenths of a second after -deactivate"
grep -q "Log closed" "$WORK/hack.log" || fail "the hack did not shut down in order"
if grep -iE "frostvale.*(crash|core|exited|abnormal|error|signal [0-9]+ [^(]*\(SIG(SEGV|ABRT|BUS))" "$WORK/daemon.log"; then
  fail "the daemon complained about the hack"
fi

# A preview-like window: an ordinary top-level window of another client, 400 x 300.
cat >"$WORK/preview.py" <<'PY' 
import sys, time, ctypes, ctypes.util
x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XFlush.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
w = x.XCreateSimpleWindow(d, x.XDefaultRootWindow(d), 100, 100, 400, 300, 0, 0, 0)
x.XMapWindow(d, w)
x.XFlush(d)
open(sys.argv[1] + "/preview.id", "w").write(hex(w))
x.XResizeWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint]
import os
for _ in range(1200):
    if os.path.exists(sys.argv[1] + "/resize"):
        x.XResizeWindow(d, w, 480, 360)
        x.XFlush(d)
        break
    time.sleep(0.1)
time.sleep(120)
PY
spawn "$WORK/preview-window.log" python3 "$WORK/preview.py" "$WORK"
wait_for '[[ -s "$WORK/preview.id" ]]' 50 || fail "no preview window"
xid=$(cat "$WORK/preview.id")
BUS=1 spawn "$WORK/preview.out" "$FROSTVALE" --window-id "$xid" --log "$WORK/preview.log"
hack=${PIDS[-1]}
wait_for 'grep -q "Snow renderer created" "$WORK/preview.log" 2>/dev/null' 3000 || fail "--window-id did not start: $(cat "$WORK/preview.out")"
sleep 3
grep -q "Host window 400x300" "$WORK/preview.log" || fail "not drawn at the preview's size: $(grep Host "$WORK/preview.log")"
read -r mean deviation < <(screenshot "$OUT/xscreensaver_preview.png" "$xid") || fail "no screenshot of the preview"
echo "screenshot $OUT/xscreensaver_preview.png: mean $mean, deviation $deviation"
looks_like_village "$mean" "$deviation" || fail "the preview window does not show the village"
# The preview grows: the drawing follows.
touch "$WORK/resize"
wait_for 'grep -q "Host window 480x360" "$WORK/preview.log"' 300 || fail "the drawing did not follow the new size"
sleep 2
read -r mean deviation < <(screenshot "$OUT/xscreensaver_preview_resized.png" "$xid") || fail "no screenshot of the resized preview"
echo "screenshot $OUT/xscreensaver_preview_resized.png: mean $mean, deviation $deviation"
looks_like_village "$mean" "$deviation" || fail "the resized preview does not show the village"
kill -TERM "$hack"
wait_for '! kill -0 "$hack" 2>/dev/null' "$END_TENTHS" || fail "--window-id still runs after SIGTERM"
grep -q "Log closed" "$WORK/preview.log" || fail "--window-id did not shut down in order"
echo "PASS"
