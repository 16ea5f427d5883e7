#!/usr/bin/env bash
# Smoke test of the real (sdl) backend on a virtual X display.
#
#   tests/sdl_smoke.sh path/to/samplegame
#
# 1. Runs 300 frame passes in a framed window at scale 1 and checks the exit
#    code, the screenshot the game writes itself (--shot) and the state dump.
# 2. Runs the game again in the background, grabs the X display while it runs
#    and checks that the window's 640 x 480 client area shows the picture the
#    game presents (the title: a lit playfield between black margins) while the
#    desktop around it does not (the X server draws its patterned root
#    background).
# 3. Records a short game in the window with scripted keys and joystick, and
#    replays the recording headless: both runs end in the same state dump.
#
# 4. Holds keys in the window with xdotool, the X server's autorepeat on: a
#    held S is one press (the game pauses once), and the number pad's 4
#    with NumLock off flies the ship left as the left arrow does; SIGHUP
#    then ends the game as closing its window does.
# 5. Starts a second copy with --record on the first one's file while the
#    first runs: it exits 0 and writes nothing; the first one's recording
#    (under its temporary name until the end) is whole and replays.
# 6. On a 600 x 400 desktop, smaller than the picture: the window shrinks
#    onto the desktop and full screen shows the whole picture at 5/6 scale,
#    both said on standard error.
# 7. F11 and Alt+Enter switch a window to full screen and back, a resized
#    window keeps its size; the mode and size land in the --config file,
#    and Alt+Enter does not start a game on the title.
#
# Needs xvfb-run, xwd (x11-apps), xwininfo (x11-utils), xdotool and python3.
# Exits 0 on pass, 1 on failure.
set -u

exe=${1:-}
if [[ -z "$exe" || ! -x "$exe" ]]; then
  echo "usage: $0 path/to/samplegame" >&2
  exit 1
fi
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

for tool in xvfb-run xwd xwininfo xdotool python3 timeout; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is not installed"
    exit 1
  fi
done

# A private directory under $TMPDIR for every file of the run, removed on exit.
if ! tmp=$(mktemp -d -t oxsmoke.XXXXXX) || [[ ! -d "$tmp" ]]; then
  echo "FAIL: cannot make a temporary directory"
  exit 1
fi
trap 'rm -rf "$tmp"' EXIT

# A display of its own, X11 only, silent audio unless asked otherwise, and
# private runtime/config directories so that a copy of the game the user
# runs (the single-instance lock) or their settings cannot interfere.
unset WAYLAND_DISPLAY
export SDL_VIDEODRIVER=x11
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
mkdir -p "$tmp/runtime" "$tmp/config"
chmod 700 "$tmp/runtime"
export XDG_RUNTIME_DIR="$tmp/runtime"
export XDG_CONFIG_HOME="$tmp/config"

screen_w=1280
screen_h=1024
client_w=640
client_h=480

# Waits up to 30 s for the game's window to be shown; the runs below start
# the game inside xvfb-run, so the function goes to them through the
# environment.
wait_window() {
  for _ in $(seq 150); do
    xwininfo -name "Sample Game" 2>/dev/null | grep -q IsViewable && return 0
    sleep 0.2
  done
  return 1
}
export -f wait_window

failures=0
pass() { echo "ok:   $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# xvfb-run -a takes the first free display number; another virtual display
# starting at the same moment (a second build tree testing on the same
# machine) can take it first, and the game then finds no X server. Such a
# run is started once more; any other failure counts.
no_server() { grep -qiE 'x11 not available|cannot open display|couldn.t open display|no display' "$1"; }

# ------------------------------------------------------------ run 1: frames, shot, dump

echo "run 1: $exe --window --scale 1 --frames 300 (shot and dump)"
for attempt in 1 2; do
  timeout 180 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" \
    "$exe" --window --scale 1 --frames 300 \
    --shot "300:$tmp/shot.bmp" --dump "$tmp/dump.json" >"$tmp/run1.log" 2>&1
  rc=$?
  [[ $rc -ne 0 && $attempt -eq 1 ]] && no_server "$tmp/run1.log" || break
  echo "run 1: no X server, once more"
done
if [[ $rc -eq 0 ]]; then
  pass "exit code 0"
else
  fail "exit code $rc (124: timed out)"
  sed 's/^/  | /' "$tmp/run1.log" | tail -20
fi

shot_size=921654  # 54-byte headers + 640 x 480 x 3 bytes
if [[ -f "$tmp/shot.bmp" ]]; then
  size=$(stat -c %s "$tmp/shot.bmp")
  magic=$(head -c 2 "$tmp/shot.bmp")
  if [[ "$size" -eq $shot_size && "$magic" == "BM" ]]; then
    pass "shot.bmp is a 640x480 24-bit BMP ($size bytes)"
  else
    fail "shot.bmp has $size bytes and magic '$magic' (want $shot_size, BM)"
  fi
else
  fail "shot.bmp was not written"
fi

if [[ -f "$tmp/dump.json" ]] && grep -Eq '"frame"[[:space:]]*:[[:space:]]*300([^0-9]|$)' "$tmp/dump.json"; then
  pass "dump.json holds \"frame\": 300"
else
  fail "dump.json missing or without \"frame\": 300"
  [[ -f "$tmp/dump.json" ]] && head -c 400 "$tmp/dump.json" | sed 's/^/  | /'
fi

# ------------------------------------------------------------ run 2: the real window

echo "run 2: $exe --window --scale 1 --frames 1200, display captured while it runs"
# -retro: the patterned root background, so the window's black picture stands
# out against it.
for attempt in 1 2; do
  timeout 240 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24 -retro" bash -c '
  exe=$1 out=$2
  timeout 180 "$exe" --window --scale 1 --frames 1200 >"$out/run2.log" 2>&1 &
  pid=$!
  # Wait for the window (up to 30 s), then let a few seconds of frames go by
  # before the capture: the window opens before the pictures are loaded, and
  # a sanitizer build loads them slowly.
  wait_window
  sleep 6
  xwininfo -name "Sample Game" >"$out/window.txt" 2>&1
  xwd -root -silent >"$out/screen.xwd"
  wait "$pid"
  echo $? >"$out/rc2"
  ' _ "$exe" "$tmp"
  rc2=$(cat "$tmp/rc2" 2>/dev/null || echo "none")
  [[ "$rc2" != "0" && $attempt -eq 1 ]] && no_server "$tmp/run2.log" || break
  echo "run 2: no X server, once more"
done
rc2=$(cat "$tmp/rc2" 2>/dev/null || echo "none")
if [[ "$rc2" == "0" ]]; then
  pass "exit code 0"
else
  fail "exit code $rc2 (124: timed out)"
  [[ -f "$tmp/run2.log" ]] && sed 's/^/  | /' "$tmp/run2.log" | tail -20
fi

# Where the client area is: from xwininfo (centred on the display until found).
win_x=$(((screen_w - client_w) / 2))
win_y=$(((screen_h - client_h) / 2))
if [[ -s "$tmp/window.txt" ]] && grep -q "Absolute upper-left X" "$tmp/window.txt"; then
  win_x=$(awk -F: '/Absolute upper-left X/ {print $2 + 0}' "$tmp/window.txt")
  win_y=$(awk -F: '/Absolute upper-left Y/ {print $2 + 0}' "$tmp/window.txt")
  got_w=$(awk -F: '/Width:/ {print $2 + 0}' "$tmp/window.txt")
  got_h=$(awk -F: '/Height:/ {print $2 + 0}' "$tmp/window.txt")
  if [[ "$got_w" -eq $client_w && "$got_h" -eq $client_h ]]; then
    pass "window \"Sample Game\" is ${got_w}x${got_h} at ($win_x,$win_y)"
  else
    fail "window \"Sample Game\" is ${got_w}x${got_h}, want ${client_w}x${client_h}"
  fi
else
  fail "no window named \"Sample Game\" was found"
fi

if [[ -s "$tmp/screen.xwd" ]]; then
  if python3 - "$tmp/screen.xwd" "$win_x" "$win_y" "$client_w" "$client_h" <<'PY'
import struct
import sys

path = sys.argv[1]
x0, y0, w, h = (int(v) for v in sys.argv[2:6])
data = open(path, "rb").read()
fields = struct.unpack(">25I", data[:100])
header_size, version, fmt, depth, width, height = fields[:6]
byte_order, bpp, bytes_per_line = fields[7], fields[11], fields[12]
red_mask, green_mask, blue_mask, ncolors = fields[14], fields[15], fields[16], fields[19]
if version != 7 or fmt != 2 or bpp not in (24, 32):
    print(f"  unexpected XWD image: version {version}, format {fmt}, {bpp} bits per pixel")
    sys.exit(1)
pixels = data[header_size + 12 * ncolors:]
step = bpp // 8
order = "little" if byte_order == 0 else "big"
mask = red_mask | green_mask | blue_mask


def pixel(x, y):
    off = y * bytes_per_line + x * step
    return int.from_bytes(pixels[off:off + step], order) & mask


def count_lit(x1, y1, x2, y2):
    """Pixels that are not black in [x1, x2) x [y1, y2), cut to the screen."""
    lit = total = 0
    for y in range(max(0, y1), min(height, y2)):
        for x in range(max(0, x1), min(width, x2)):
            total += 1
            lit += pixel(x, y) != 0
    return lit, total


ok = True
# The client area, a few pixels in from its edges: black margins beside the
# playfield (x 130 to 510), the title's pictures inside it.
m = 4
left = count_lit(x0 + m, y0 + m, x0 + 130 - m, y0 + h - m)
right = count_lit(x0 + 510 + m, y0 + m, x0 + w - m, y0 + h - m)
field = count_lit(x0 + 130 + m, y0 + m, x0 + 510 - m, y0 + h - m)
if left[1] and right[1] and left[0] == 0 and right[0] == 0:
    print(f"ok:   window margins ({x0},{y0}) {w}x{h} are black")
else:
    print(f"FAIL: window margins: {left[0]} and {right[0]} pixels are not black")
    ok = False
if field[1] and field[0] * 4 >= field[1]:
    print(f"ok:   playfield shows the title ({field[0]} of {field[1]} lit)")
else:
    print(f"FAIL: playfield: {field[0]} of {field[1]} pixels lit, want the title")
    ok = False
# A band just outside the window: the root pattern, about half its pixels lit.
# Proves that the capture sees the display and that the window is not larger.
band = 12
outside = [
    count_lit(x0 - band - m, y0 - band - m, x0 + w + band + m, y0 - m),  # above
    count_lit(x0 - band - m, y0 + h + m, x0 + w + band + m, y0 + h + band + m),  # below
    count_lit(x0 - band - m, y0, x0 - m, y0 + h),  # left
    count_lit(x0 + w + m, y0, x0 + w + band + m, y0 + h),  # right
]
for name, (lit, total) in zip(("above", "below", "left of", "right of"), outside):
    if total and lit * 10 >= total:
        print(f"ok:   desktop {name} the window shows the background ({lit} of {total} lit)")
    else:
        print(f"FAIL: desktop {name} the window: {lit} of {total} pixels lit, want the background")
        ok = False
sys.exit(0 if ok else 1)
PY
  then
    :
  else
    failures=$((failures + 1))
  fi
else
  fail "the display capture (xwd) is missing or empty"
fi

# ------------------------------------------------------------ run 3: record in a window, replay headless

echo "run 3: a game recorded in the window, replayed headless to the same dump"
cat >"$tmp/play.txt" <<'SCRIPT'
5 ENTER down
7 ENTER up
10 F1 down
12 F1 up
20 X down
20 Z down
40 JOY0 X 0
60 JOY0 BUTTON 2 down
90 JOY0 BUTTON 2 up
100 JOY0 X 32767
150 LEFT down
200 LEFT up
SCRIPT
for attempt in 1 2; do
  timeout 180 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" \
    "$exe" --window --scale 1 --frames 240 --input "$tmp/play.txt" --record "$tmp/play.sgr" \
    --dump "$tmp/recorded.json" >"$tmp/run3.log" 2>&1
  rc3=$?
  [[ $rc3 -ne 0 && $attempt -eq 1 ]] && no_server "$tmp/run3.log" || break
  echo "run 3: no X server, once more"
done
"$exe" --headless --replay "$tmp/play.sgr" --dump "$tmp/replayed.json" >>"$tmp/run3.log" 2>&1
rc3b=$?
if [[ $rc3 -eq 0 && $rc3b -eq 0 ]] && grep -q '"frame": 240' "$tmp/recorded.json" 2>/dev/null &&
   cmp -s "$tmp/recorded.json" "$tmp/replayed.json"; then
  pass "the replayed dump equals the recorded one"
else
  fail "record exit $rc3, replay exit $rc3b, dumps differ or missing"
  sed 's/^/  | /' "$tmp/run3.log" | tail -10
fi

# ------------------------------------------------------------ run 4: held keys

echo "run 4: keys held in the window, with the desktop's autorepeat"
cat >"$tmp/start.txt" <<'SCRIPT'
5 ENTER down
7 ENTER up
10 F1 down
12 F1 up
SCRIPT
for attempt in 1 2; do
  rm -f "$tmp/rc4"
  timeout 240 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" bash -c '
  exe=$1 out=$2
  "$exe" --window --scale 1 --seed 1 --input "$out/start.txt" --record "$out/held.sgr" \
    --dump "$out/held.json" >"$out/run4.log" 2>&1 &
  pid=$!
  wait_window
  sleep 5
  # The number pad'"'"'s 4 (NumLock off, as Xvfb starts) held for a second.
  xdotool keydown KP_Left; sleep 1; xdotool keyup KP_Left
  # S held for 1.5 s: the X server repeats it twenty-odd times.
  xdotool keydown s; sleep 1.5; xdotool keyup s
  sleep 0.5
  # The terminal that started the game closes: SIGHUP ends it as a close.
  kill -HUP "$pid"
  wait "$pid"
  echo $? >"$out/rc4"
  ls -A "$XDG_RUNTIME_DIR" >"$out/runtime4"
  ' _ "$exe" "$tmp"
  rc4=$(cat "$tmp/rc4" 2>/dev/null || echo "none")
  [[ "$rc4" != "0" && $attempt -eq 1 ]] && no_server "$tmp/run4.log" || break
  echo "run 4: no X server, once more"
done
field() { tr ',{}' '\n\n\n' <"$1" 2>/dev/null | awk -F: -v k="\"$2\"" '$1 ~ k {gsub(/ /, "", $2); print $2}'; }
if [[ "$rc4" == "0" ]]; then
  pass "exit code 0"
else
  fail "exit code $rc4"
  [[ -f "$tmp/run4.log" ]] && sed 's/^/  | /' "$tmp/run4.log" | tail -10
fi
if [[ -f "$tmp/runtime4" ]] && ! grep -q '\.sock$' "$tmp/runtime4"; then
  pass "SIGHUP ended the game with its dump, and the socket is removed"
else
  fail "after SIGHUP the runtime folder holds: $(tr '\n' ' ' <"$tmp/runtime4" 2>/dev/null)"
fi
if [[ "$(field "$tmp/held.json" pause)" == "1" ]]; then
  pass "S held with autorepeat toggles the pause once"
else
  fail "pause is '$(field "$tmp/held.json" pause)' after S was held, want 1"
fi
# The ship starts where a run without keys leaves it.
"$exe" --headless --seed 1 --input "$tmp/start.txt" --frames 300 --dump "$tmp/still.json" >>"$tmp/run4.log" 2>&1
still_x=$(field "$tmp/still.json" player_x)
held_x=$(field "$tmp/held.json" player_x)
if [[ -n "$still_x" && -n "$held_x" ]] && python3 -c "import sys; sys.exit(0 if float('$held_x') + 50 < float('$still_x') else 1)"; then
  pass "the number pad's 4 flew the ship left (x $still_x to $held_x)"
else
  fail "the ship is at x '$held_x' after the number pad's 4, started at '$still_x'"
fi
# The recording holds the key-downs the window delivered: one press of S
# and its repeats, each marked as such.
if presses=$(python3 - "$tmp/held.sgr" <<'PY'
import struct
import sys

data = open(sys.argv[1], "rb").read()
sizes = {"P": 8, "G": 1, "M": 9, "K": 2, "J": 10, "A": 5, "W": 4, "I": 4, "E": 4}
i = 20
press = repeat = 0
while i < len(data):
    kind = chr(data[i])
    if kind == "M":
        message, wparam, lparam = struct.unpack("<BII", data[i + 1:i + 10])
        if message == 1 and wparam == ord("S"):
            if lparam & (1 << 30):
                repeat += 1
            else:
                press += 1
    i += 1 + sizes[kind]
print(press, repeat)
PY
); then
  read -r s_press s_repeat <<<"$presses"
  if [[ "$s_press" -eq 1 && "$s_repeat" -ge 5 ]]; then
    pass "S arrived as 1 press and $s_repeat repeats"
  else
    fail "S arrived as $s_press presses and $s_repeat repeats, want 1 and at least 5"
  fi
else
  fail "the recording of run 4 cannot be read"
fi
"$exe" --headless --replay "$tmp/held.sgr" --dump "$tmp/held-replayed.json" >>"$tmp/run4.log" 2>&1
if cmp -s "$tmp/held.json" "$tmp/held-replayed.json"; then
  pass "the recording with repeats replays to the same dump"
else
  fail "the replay of run 4 differs from the run"
fi

# ------------------------------------------------------------ run 5: a second copy

echo "run 5: a second copy with --record leaves the first one's recording alone"
for attempt in 1 2; do
  rm -f "$tmp/rc5" "$tmp/rc5b" "$tmp/first.sgr"
  timeout 240 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" bash -c '
  exe=$1 out=$2
  "$exe" --window --scale 1 --seed 1 --input "$out/start.txt" --record "$out/first.sgr" \
    --dump "$out/first.json" >"$out/run5.log" 2>&1 &
  pid=$!
  wait_window
  sleep 3
  stat -c %s "$out/first.sgr.part$pid" >"$out/size-before" 2>/dev/null
  timeout 60 "$exe" --window --scale 1 --record "$out/first.sgr" --frames 10 >>"$out/run5.log" 2>&1
  echo $? >"$out/rc5b"
  [[ -e "$out/first.sgr" ]] && echo "the second copy made first.sgr" >>"$out/run5.log"
  stat -c %s "$out/first.sgr.part$pid" >"$out/size-after" 2>/dev/null
  sleep 1
  xdotool key Escape
  wait "$pid"
  echo $? >"$out/rc5"
  ls "$out" | grep -c "first.sgr.part" >"$out/temps"
  ' _ "$exe" "$tmp"
  rc5=$(cat "$tmp/rc5" 2>/dev/null || echo "none")
  [[ "$rc5" != "0" && $attempt -eq 1 ]] && no_server "$tmp/run5.log" || break
  echo "run 5: no X server, once more"
done
before=$(cat "$tmp/size-before" 2>/dev/null || echo 0)
after=$(cat "$tmp/size-after" 2>/dev/null || echo 0)
if [[ "$rc5" == "0" && "$(cat "$tmp/rc5b" 2>/dev/null)" == "0" ]] && ! grep -q "second copy made" "$tmp/run5.log" &&
   [[ "$before" -gt 20 && "$after" -ge "$before" && "$(cat "$tmp/temps")" == "0" ]]; then
  pass "the second copy exited 0 and wrote nothing; the first's recording grew ($before to $after bytes)"
else
  fail "first copy exit $rc5, second $(cat "$tmp/rc5b" 2>/dev/null), recording $before then $after bytes, temporary files left: $(cat "$tmp/temps" 2>/dev/null)"
  sed 's/^/  | /' "$tmp/run5.log" | tail -10
fi
if "$exe" --headless --replay "$tmp/first.sgr" --dump "$tmp/first-replayed.json" >>"$tmp/run5.log" 2>&1 &&
   cmp -s "$tmp/first.json" "$tmp/first-replayed.json"; then
  pass "the first copy's recording replays to its dump"
else
  fail "the first copy's recording does not replay to its dump"
  sed 's/^/  | /' "$tmp/run5.log" | tail -5
fi

# ------------------------------------------------------------ run 6: a small desktop

echo "run 6: a 600x400 desktop, smaller than the picture: window and full screen"
for attempt in 1 2; do
  rm -f "$tmp/rc6w" "$tmp/rc6f"
  timeout 240 xvfb-run -a -s "-screen 0 600x400x24" bash -c '
  exe=$1 out=$2
  "$exe" --window --scale 2 --frames 600 >"$out/run6w.log" 2>&1 &
  pid=$!
  wait_window
  sleep 3
  xwininfo -name "Sample Game" >"$out/window6.txt" 2>&1
  wait "$pid"
  echo $? >"$out/rc6w"
  "$exe" --frames 1200 >"$out/run6f.log" 2>&1 &
  pid=$!
  wait_window
  sleep 6
  xwd -root -silent >"$out/small.xwd"
  wait "$pid"
  echo $? >"$out/rc6f"
  ' _ "$exe" "$tmp"
  rc6=$(cat "$tmp/rc6w" 2>/dev/null || echo "none")
  [[ "$rc6" != "0" && $attempt -eq 1 ]] && no_server "$tmp/run6w.log" || break
  echo "run 6: no X server, once more"
done
if [[ "$rc6" == "0" && "$(cat "$tmp/rc6f" 2>/dev/null)" == "0" ]]; then
  pass "exit codes 0"
else
  fail "exit codes $rc6 (window) and $(cat "$tmp/rc6f" 2>/dev/null) (full screen)"
  sed 's/^/  | /' "$tmp/run6w.log" "$tmp/run6f.log" 2>/dev/null | tail -10
fi
if grep -q "smaller than the picture .* scale 0.83" "$tmp/run6w.log" &&
   grep -q "smaller than the picture .* scale 0.83" "$tmp/run6f.log"; then
  pass "the scale below 1 is said on standard error"
else
  fail "no word of the scale on standard error"
fi
if [[ -s "$tmp/window6.txt" ]] && grep -q "Absolute upper-left X" "$tmp/window6.txt"; then
  read -r wx wy ww wh < <(awk -F: '/Absolute upper-left X/ {x = $2 + 0} /Absolute upper-left Y/ {y = $2 + 0}
    /Width:/ {w = $2 + 0} /Height:/ {h = $2 + 0} END {print x, y, w, h}' "$tmp/window6.txt")
  if [[ $wx -ge 0 && $wy -ge 0 && $((wx + ww)) -le 600 && $((wy + wh)) -le 400 && $wh -ge 390 ]]; then
    pass "the window (${ww}x${wh} at $wx,$wy) lies on the desktop and fills its height"
  else
    fail "the window is ${ww}x${wh} at ($wx,$wy) on a 600x400 desktop"
  fi
fi
# Full screen: the whole picture at 5/6 scale, 533 x 400 centred: the
# playfield (x 130 to 510 of the picture) between black margins. A picture
# cut at scale 1 would show the playfield from x 110.
if [[ -s "$tmp/small.xwd" ]] && python3 - "$tmp/small.xwd" <<'PY'
import struct
import sys

data = open(sys.argv[1], "rb").read()
fields = struct.unpack(">25I", data[:100])
header_size, width, height = fields[0], fields[4], fields[5]
byte_order, bpp, bytes_per_line, ncolors = fields[7], fields[11], fields[12], fields[19]
mask = fields[14] | fields[15] | fields[16]
pixels = data[header_size + 12 * ncolors:]
step = bpp // 8
order = "little" if byte_order == 0 else "big"


def lit(x1, x2, y1=4, y2=396):
    n = 0
    for y in range(y1, y2):
        for x in range(x1, x2):
            off = y * bytes_per_line + x * step
            n += (int.from_bytes(pixels[off:off + step], order) & mask) != 0
    return n, (x2 - x1) * (y2 - y1)


ok = (width, height) == (600, 400)
for name, (x1, x2), want_lit in (("left margin", (37, 137), False), ("right margin", (463, 562), False),
                                 ("playfield", (146, 454), True)):
    n, total = lit(x1, x2)
    good = n * 4 >= total if want_lit else n == 0
    print(f"{'ok:  ' if good else 'FAIL:'} full screen {name}: {n} of {total} pixels lit")
    ok = ok and good
sys.exit(0 if ok else 1)
PY
then
  :
else
  failures=$((failures + 1))
fi

# ------------------------------------------------------------ run 7: toggles and resize

echo "run 7: F11 and Alt+Enter toggle full screen, the window is resized"
for attempt in 1 2; do
  rm -f "$tmp/rc7" "$tmp/sizes7" "$tmp/r7.ini"
  timeout 240 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" bash -c '
  exe=$1 out=$2
  size() { xwininfo -name "Sample Game" | awk -F: "/Width:/ {w = \$2 + 0} /Height:/ {h = \$2 + 0} END {print w \"x\" h}"; }
  "$exe" --window --scale 1 --config "$out/r7.ini" --dump "$out/r7.json" >"$out/run7.log" 2>&1 &
  pid=$!
  for _ in $(seq 150); do
    xwininfo -name "Sample Game" 2>/dev/null | grep -q IsViewable && break
    sleep 0.2
  done
  sleep 3
  size >"$out/sizes7"
  xdotool key F11; sleep 2; size >>"$out/sizes7"
  xdotool key alt+Return; sleep 2; size >>"$out/sizes7"
  xdotool windowsize "$(xdotool search --name "Sample Game" | head -1)" 800 700; sleep 2
  size >>"$out/sizes7"
  xdotool key Escape
  wait "$pid"
  echo $? >"$out/rc7"
  ' _ "$exe" "$tmp"
  rc7=$(cat "$tmp/rc7" 2>/dev/null || echo "none")
  [[ "$rc7" != "0" && $attempt -eq 1 ]] && no_server "$tmp/run7.log" || break
  echo "run 7: no X server, once more"
done
sizes7=$(tr '\n' ' ' <"$tmp/sizes7" 2>/dev/null)
if [[ "$rc7" == "0" && "$sizes7" == "640x480 ${screen_w}x${screen_h} 640x480 800x700 " ]]; then
  pass "window, full screen, window, resized: $sizes7"
else
  fail "exit $rc7, sizes '$sizes7', want 640x480 ${screen_w}x${screen_h} 640x480 800x700"
  sed 's/^/  | /' "$tmp/run7.log" 2>/dev/null | tail -10
fi
if grep -q "fullscreen = false" "$tmp/r7.ini" 2>/dev/null && grep -q "width = 800" "$tmp/r7.ini" &&
   grep -q "height = 700" "$tmp/r7.ini" && grep -q '"scene": 1,' "$tmp/r7.json" 2>/dev/null; then
  pass "the mode and size are saved; Alt+Enter did not start a game"
else
  fail "settings or scene after the toggles: $(tr '\n' ' ' <"$tmp/r7.ini" 2>/dev/null)"
fi

if [[ $failures -eq 0 ]]; then
  echo "PASS: sdl smoke test"
  exit 0
fi
echo "FAILED: $failures check(s)"
exit 1
