#!/bin/sh
# Times the game binary, best of three runs each, headless:
#   fight     stage 1 with fire held, 30,000 frame passes
#   autopilot the autopilot's whole game, 70,000 frame passes
#   start     start to the first frame (--frames 1), with and without music
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
trap 'rm -rf "$work"' EXIT INT TERM

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

best "fight (30,000 passes)" "$game" --headless --seed 1 --frames 30000 --input "$work/fight.txt"
best "autopilot (70,000 passes)" "$game" --headless --seed 2 --frames 70000 --input "$work/auto.txt"
best "start to first frame" "$game" --headless --seed 1 --frames 1
best "start to first frame, no music" \
  env SAMPLEGAME_SOUNDFONT=/nonexistent "$game" --headless --seed 1 --frames 1
