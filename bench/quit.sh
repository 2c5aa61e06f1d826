#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How long the program takes to quit when asked during the load of a large history:
#   bench/quit.sh BUILD_DIR HISTORY [RUNS [DELAY]]  (default RUNS: 7, DELAY: 0.1 s)
# Each run starts the real binary on a private X server over a hard link to HISTORY (made
# by bench/tools/generate_history), sends SIGTERM DELAY seconds after the start and prints
# the time from the signal to the exit of the process, then the median, min and max.
set -euo pipefail

if [ -z "${DISPLAY_FOR_QUIT_BENCH:-}" ]; then
  root=$(cd "$(dirname "$0")/.." && pwd)
  exec env DISPLAY_FOR_QUIT_BENCH=1 QT_QPA_PLATFORM=xcb "$root/scripts/with-x11" "$0" "$@"
fi

[ $# -ge 2 ] || { echo "usage: bench/quit.sh BUILD_DIR HISTORY [RUNS [DELAY]]" >&2; exit 2; }
binary="$(cd "$1" && pwd)/src/nabrix"
history=$2
runs=${3:-7}
delay=${4:-0.1}

home=""
cleanup() { [ -n "$home" ] && rm -rf "$home"; home=""; }
trap cleanup EXIT

times=()
early=0
while [ ${#times[@]} -lt "$runs" ]; do
  home=$(mktemp -d "${TMPDIR:-/tmp}/nabrix-quit.XXXXXX")
  mkdir -p "$home/data/nabrix" "$home/config/nabrix"
  ln "$history" "$home/data/nabrix/history.sqlite3" 2>/dev/null ||
    cp "$history" "$home/data/nabrix/history.sqlite3"
  # Keep everything: no purge writes to the shared file.
  printf '[General]\nretentionDays=0\n' >"$home/config/nabrix/nabrix.conf"
  HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home \
    "$binary" &
  pid=$!
  sleep "$delay"
  asked=$EPOCHREALTIME
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  gone=$EPOCHREALTIME
  cleanup
  ms=$(awk -v a="$asked" -v b="$gone" 'BEGIN {printf "%.1f", (b - a) * 1000}')
  # The default action (143): the signal came before the program handles it. Run again.
  if [ "$status" -eq 143 ]; then
    early=$((early + 1))
    [ "$early" -le $((runs * 10)) ] || { echo "quit.sh: the program never got to handle SIGTERM" >&2; exit 1; }
    continue
  fi
  echo "run $((${#times[@]} + 1)): $ms ms to exit (status $status)"
  times+=("$ms")
done
echo "runs repeated because the signal came before the program handled it: $early"
printf '%s\n' "${times[@]}" | sort -n |
  awk '{v[NR]=$1} END {printf "median %.1f ms (%.1f-%.1f)\n", v[int((NR+1)/2)], v[1], v[NR]}'
