#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process figures of the real program on a private X server, over generated histories:
#   bench/process.sh BUILD_DIR [N ...]          (default N: 10000 100000 1000000)
# For each N: start (process start to the tray icon shown, and to the history loaded; five
# runs: median, min, max), RSS after start, RSS after walking the whole list once with the
# Down key, idle CPU over 60 s with the history closed. Histories are generated once into
# $NABRIX_BENCH_CACHE (default /var/tmp/nabrix-bench-cache; about 3.5 GB per size).
set -euo pipefail

if [ -z "${DISPLAY_FOR_PROCESS_BENCH:-}" ]; then
  root=$(cd "$(dirname "$0")/.." && pwd)
  exec env DISPLAY_FOR_PROCESS_BENCH=1 QT_QPA_PLATFORM=xcb "$root/scripts/with-x11" "$0" "$@"
fi

[ $# -ge 1 ] || { echo "usage: bench/process.sh BUILD_DIR [N ...]" >&2; exit 2; }
build_dir=$(cd "$1" && pwd)
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000 1000000)
runs=${RUNS:-5}
idle_seconds=${IDLE_SECONDS:-60}
cache=${NABRIX_BENCH_CACHE:-/var/tmp/nabrix-bench-cache}
binary="$build_dir/src/nabrix"
mkdir -p "$cache"
for tool in xdotool; do
  command -v "$tool" >/dev/null || { echo "process.sh: $tool is missing (scripts/install-deps)" >&2; exit 2; }
done
clock_ticks=$(getconf CLK_TCK)

fixture() { # N -> path of the generated history, made once
  local n=$1 path="$cache/pristine-$1.sqlite3"
  if [ ! -f "$path" ]; then
    [ -f "$cache/now" ] || date +%s%3N >"$cache/now"
    echo "generating a history of $n entries ..." >&2
    rm -f "$path.partial"
    "$build_dir/bench/tools/generate_history" --count "$n" --output "$path.partial" \
      --now "$(cat "$cache/now")" >&2
    mv "$path.partial" "$path"
  fi
  echo "$path"
}

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
median_min_max() { sort -n | awk '{v[NR]=$1} END {printf "%.0f %.0f %.0f\n", v[int((NR+1)/2)], v[1], v[NR]}'; }

home=""
pid=""
stop_program() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
  fi
  [ -n "$home" ] && rm -rf "$home"
  home=""
}
trap stop_program EXIT

# Starts the program over a hard link to the generated history (it writes nothing: the
# history is unlimited, so there is no purge) and waits for the history to load. Sets
# tray_ms and loaded_ms.
start_program() {
  local history=$1
  home=$(mktemp -d "${TMPDIR:-/tmp}/nabrix-process.XXXXXX")
  mkdir -p "$home/data/nabrix" "$home/config/nabrix"
  ln "$history" "$home/data/nabrix/history.sqlite3" 2>/dev/null || cp "$history" "$home/data/nabrix/history.sqlite3"
  printf '[General]\nretentionDays=0\n' >"$home/config/nabrix/nabrix.conf"
  mkfifo "$home/log"
  local started=$EPOCHREALTIME
  HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home \
    QT_LOGGING_RULES="nabrix.startup.info=true" "$binary" 2>"$home/log" &
  pid=$!
  local tray="" loaded="" line now
  exec 3<"$home/log"
  while [ -z "$loaded" ] && IFS= read -r -t 300 line <&3; do
    now=$EPOCHREALTIME
    case "$line" in
      *"tray icon shown"*) tray=$(awk -v a="$started" -v b="$now" 'BEGIN {printf "%.0f", (b - a) * 1000}') ;;
      *"history loaded"*) loaded=$(awk -v a="$started" -v b="$now" 'BEGIN {printf "%.0f", (b - a) * 1000}') ;;
    esac
  done
  # Keep draining the log so the program never blocks on a full pipe.
  cat <&3 >/dev/null &
  exec 3<&-
  [ -n "$tray" ] && [ -n "$loaded" ] || { echo "process.sh: the program did not report its start" >&2; exit 1; }
  tray_ms=$tray
  loaded_ms=$loaded
}

toggle_history() {
  HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home "$binary" 2>/dev/null
}

echo "machine: $(nproc) CPUs, $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(free -h | awk '/^Mem:/ {print $2}') memory, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "commit:  $(git -C "$(dirname "$0")" rev-parse --short HEAD 2>/dev/null || echo unknown), $(date -u '+%Y-%m-%d %H:%M UTC')"
printf '%-9s %-22s %-22s %-10s %-12s %-8s\n' entries "start->tray ms" "start->loaded ms" "RSS MB" "RSS walk MB" "idle CPU"
for n in "${sizes[@]}"; do
  history=$(fixture "$n")
  trays=() loads=() rss=""
  for ((run = 1; run <= runs; run++)); do
    start_program "$history"
    trays+=("$tray_ms") loads+=("$loaded_ms")
    if ((run < runs)); then stop_program; fi
  done
  sleep 2
  rss=$(rss_kb "$pid")

  # Idle: history closed, nothing copied.
  before=$(cpu_ticks "$pid")
  sleep "$idle_seconds"
  after=$(cpu_ticks "$pid")
  idle=$(awk -v t="$((after - before))" -v hz="$clock_ticks" -v s="$idle_seconds" 'BEGIN {printf "%.3f", 100 * t / (hz * s)}')

  # Walk the whole list once: every row drawn, every thumbnail decoded.
  walk=${WALK_LIMIT:-$n}
  toggle_history
  sleep 2
  xdotool key --delay 0 --repeat "$walk" Down
  sleep 3
  rss_walk=$(rss_kb "$pid")
  stop_program

  read -r tray_med tray_min tray_max < <(printf '%s\n' "${trays[@]}" | median_min_max)
  read -r load_med load_min load_max < <(printf '%s\n' "${loads[@]}" | median_min_max)
  printf '%-9s %-22s %-22s %-10s %-12s %-8s\n' "$n" "$tray_med ($tray_min-$tray_max)" \
    "$load_med ($load_min-$load_max)" "$((rss / 1024))" "$((rss_walk / 1024))" "$idle %"
done
