#!/usr/bin/env bash
# Checks an installed SDK of the ox library: only public headers (ox_*.h)
# are installed, each compiles alone with the flags of ox.pc, and a program
# built and linked through ox.pc alone runs headless.
#   tools/check_sdk.sh PREFIX
set -euo pipefail
prefix=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pcdir=$(dirname "$(find "$prefix" -name ox.pc -path '*/pkgconfig/*' | head -n1)")
export PKG_CONFIG_PATH="$pcdir${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
cflags=$(pkg-config --cflags ox)
libs=$(pkg-config --libs ox)
include="$prefix/include/ox"

count=0
while IFS= read -r header; do
  name=${header#"$include"/}
  case "$(basename "$name")" in
    ox_*.h) ;;
    *) echo "check_sdk: $name is not a public header" >&2; exit 1 ;;
  esac
  printf '#include "%s"\n#include "%s"\n' "$name" "$name" > "$work/one.cpp"
  # shellcheck disable=SC2086
  if ! c++ -Wall -Wextra -Werror $cflags -fsyntax-only "$work/one.cpp"; then
    echo "check_sdk: $name does not compile alone" >&2
    exit 1
  fi
  count=$((count + 1))
done < <(find "$include" -type f | sort)
[ "$count" -gt 0 ] || { echo "check_sdk: no headers in $include" >&2; exit 1; }

cat > "$work/run.cpp" <<'PROGRAM'
#include "frame/ox_system.h"
int main(int argc, char** argv) {
  GameDefinition program;
  program.title = "ox sdk check";
  program.instanceName = "ox sdk check:OxMutex";
  return oxRun(argc, argv, program);
}
PROGRAM
# shellcheck disable=SC2086
c++ -Wall -Wextra -Werror $cflags "$work/run.cpp" -o "$work/run" $libs
# A shared library outside the loader's folders is found through libdir.
libdir=$(pkg-config --variable=libdir ox)
(cd "$work" && LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" ./run --headless --frames 5 --dump run.json)
grep -q '"frame": 5' "$work/run.json"
echo "check_sdk: $count public headers compile alone; a program links through ox.pc and runs"
