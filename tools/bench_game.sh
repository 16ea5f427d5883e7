#!/bin/sh
# Times the game binary, best of three runs each, headless:
#   fight     stage 1 with fire held, 30,000 frame passes
#   autopilot the autopilot's script, 70,000 frame passes (the ship is lost
#             on the way, in stage 5)
#   whole     the autopilot's whole game, all eight stages with the ship kept
#             alive: oxbench's whole-game benchmark, when BUILD_DIR has it
#   start     start to the first frame (--frames 1), with and without music
# and, where a display can be had (DISPLAY, else a private Xvfb), in a window:
#   window    process start to the end of the second frame pass, from the
#             game's own start trace (OX_START_TRACE=1), not to its exit
# Usage: tools/bench_game.sh [BUILD_DIR] [RUNS]   (defaults: build, 3)
# BUILD_DIR holds samplegame and tools/autopilot.
set -eu

build=${1:-build}
runs=${2:-3}
game="$build/samplegame"
autopilot="$build/tools/autopilot"
[ -x "$game" ] || { echo "bench_game: no $game" >&2; exit 1; }
[ -x "$autopilot" ] || { echo "bench_game: no $autopilot" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/bench_game.XXXXXX")
xvfb=
cleanup() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || :
    wait "$xvfb" 2>/dev/null || :
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Enter on the title, F1 on the selection screen, fire held through the
# enemy waves and released when the boss comes.
printf '2 ENTER down\n4 ENTER up\n6 F1 down\n8 F1 up\n10 X down\n3300 X up\n' > "$work/fight.txt"
"$autopilot" 70000 > "$work/auto.txt"

now_ns() { date +%s%N; }

# best NAME COMMAND...: runs the command $runs times, prints the fastest.
best() {
  name=$1
  shift
  fastest=
  i=0
  while [ "$i" -lt "$runs" ]; do
    start=$(now_ns)
    "$@" > /dev/null 2>&1 || { echo "bench_game: $name failed" >&2; exit 1; }
    took=$(( ($(now_ns) - start) / 1000000 ))
    if [ -z "$fastest" ] || [ "$took" -lt "$fastest" ]; then fastest=$took; fi
    i=$((i + 1))
  done
  printf '%-34s %8d ms (best of %d)\n' "$name" "$fastest" "$runs"
}

# fastest NAME FILE: prints the smallest of the millisecond figures in FILE,
# one a line, as best() prints its own.
fastest() {
  awk -v name="$1" -v runs="$runs" 'NR == 1 || $1 < m { m = $1 }
    END { printf "%-34s %8.0f ms (best of %d)\n", name, m, runs }' "$2"
}

best "fight (30,000 passes)" "$game" --headless --seed 1 --frames 30000 --input "$work/fight.txt"
best "autopilot (70,000 passes)" "$game" --headless --seed 2 --frames 70000 --input "$work/auto.txt"
# The whole game needs a game definition that keeps the ship alive, which
# only oxbench has; its own timing of the run is taken.
oxbench="$build/bench/oxbench"
if [ -x "$oxbench" ]; then
  i=0
  : > "$work/whole.txt"
  while [ "$i" -lt "$runs" ]; do
    "$oxbench" --benchmark_filter='^BM_AutopilotWholeGame' 2> /dev/null | tr -d '\033' |
      sed 's/\[[0-9;]*m//g' |
      awk '$1 ~ /^BM_AutopilotWholeGame/ { print ($3 == "s" ? $2 * 1000 : $2) }' >> "$work/whole.txt"
    i=$((i + 1))
  done
  [ -s "$work/whole.txt" ] || { echo "bench_game: oxbench's whole game failed" >&2; exit 1; }
  fastest "whole game, ship kept alive" "$work/whole.txt"
else
  echo "whole game, ship kept alive: skipped (no $oxbench; configure with SAMPLEGAME_BENCH=ON)"
fi
best "start to first frame" "$game" --headless --seed 1 --frames 1
best "start to first frame, no music" \
  env SAMPLEGAME_SOUNDFONT=/nonexistent "$game" --headless --seed 1 --frames 1

# best_window NAME: the fastest of $runs windowed starts, to the second frame
# pass as the game's start trace reports it.
best_window() {
  name=$1
  i=0
  : > "$work/window.txt"
  while [ "$i" -lt "$runs" ]; do
    if ! OX_START_TRACE=1 "$game" --window --frames 2 --config "$work/settings.ini" \
      > /dev/null 2> "$work/trace.txt"; then
      echo "$name: skipped (the game could not open a window on $DISPLAY)"
      return 0
    fi
    sed -n 's/^samplegame: start trace: *\([0-9.]*\) ms  second pass$/\1/p' "$work/trace.txt" \
      >> "$work/window.txt"
    i=$((i + 1))
  done
  [ -s "$work/window.txt" ] || { echo "bench_game: $name: no start trace" >&2; exit 1; }
  fastest "$name" "$work/window.txt"
}

# A display of the desktop's, else a private Xvfb on a free display number.
if [ -z "${DISPLAY:-}" ] && command -v Xvfb > /dev/null 2>&1; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/display" 2> /dev/null &
  xvfb=$!
  i=0
  while [ ! -s "$work/display" ] && [ "$i" -lt 10 ]; do sleep 1; i=$((i + 1)); done
  [ -s "$work/display" ] && DISPLAY=:$(cat "$work/display") && export DISPLAY
fi
if [ -n "${DISPLAY:-}" ]; then
  best_window "start to second pass, window"
else
  echo "start to second pass, window: skipped (no DISPLAY and no Xvfb)"
fi
