#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Nabrix side by side with two other clipboard managers from Debian, CopyQ and GPaste, on a
# private X server and D-Bus session, then beside a private headless sway: start time with N
# entries, memory after start, the delay from a copy to the stored entry, and CPU time while
# idle. On sway the copies are made by a native client (wl-copy), the peers run as native
# Wayland clients, and each has a table of its own.
#   bench/peers.sh [BUILD_DIR] [--sizes "1000 10000 100000"] [--runs 5] [--copies 7]
#                  [--idle 60] [--images 0] [--peers "nabrix copyq gpaste"]
#                  [--compositors "x11 sway"] [--no-install]
#                  [--output FILE]
# BUILD_DIR (default: build/ of this tree) provides src/nabrix and bench/generate_history.
# The table (Markdown) goes to stdout and to FILE (default BUILD_DIR/bench-results/peers.md).
# A peer that cannot be installed, filled or started is reported as "n/a" with the reason.
# Never part of `make test`: a full run takes about 15 minutes.
set -euo pipefail

self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
root=$(cd "$(dirname "$0")/.." && pwd)

say() { echo "peers: $*" >&2; }

# ---------------------------------------------------------------------------------------
# Measuring helpers (used inside the private X server and D-Bus session).

now_ms() { date +%s%3N; }

alive() {  # alive PID: running and not a zombie
  local state
  state=$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

tree_pids() {  # tree_pids PID: the process and its descendants
  ps -e -o pid=,ppid= | awk -v top="$1" '
    { parent[$1] = $2; order[NR] = $1 }
    END {
      keep[top] = 1; print top
      do {
        grown = 0
        for (i = 1; i <= NR; i++) {
          p = order[i]
          if (!(p in keep) && (parent[p] in keep)) { keep[p] = 1; print p; grown = 1 }
        }
      } while (grown)
    }'
}

cpu_ticks() {  # cpu_ticks PID: utime + stime of the process tree, in clock ticks
  local total=0 p line rest
  for p in $(tree_pids "$1"); do
    line=$(cat "/proc/$p/stat" 2>/dev/null) || continue
    rest=${line##*) }
    # shellcheck disable=SC2086
    set -- $rest
    total=$((total + ${12} + ${13}))
  done
  echo "$total"
}

rss_kib() {  # rss_kib PID: VmRSS summed over the process tree
  local total=0 p kib
  for p in $(tree_pids "$1"); do
    kib=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$p/status" 2>/dev/null || true)
    total=$((total + ${kib:-0}))
  done
  echo "$total"
}

stats() {  # stats < numbers: "median min max" (median of an even count: mean of the middle two)
  sort -n | awk 'NF { v[++n] = $1 }
    END {
      if (n == 0) { print "- - -"; exit }
      m = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
      print m, v[1], v[n]
    }'
}

peer_env() {  # peer_env HOME: a private home, config and data folders for one program
  export HOME=$1
  export XDG_DATA_HOME=$1/data XDG_CONFIG_HOME=$1/config XDG_CACHE_HOME=$1/cache
  export XDG_RUNTIME_DIR=$1/run
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

peer_name() {
  case $1 in nabrix) echo Nabrix ;; copyq) echo CopyQ ;; gpaste) echo GPaste ;; esac
}

# The Python helpers: texts out of a generated history, filling the peers, and the probes
# that poll a program's newest entry from one process (a new process per poll would cost
# more than what is measured: `copyq` alone takes 70-250 ms to answer).
write_helper() {
  cat >"$1" <<'PYTHON'
import json, sqlite3, subprocess, sys, time

def texts(db, out):
    con = sqlite3.connect('file:%s?mode=ro' % db, uri=True)
    rows = con.execute(
        "SELECT i.type, i.search_string, c.content_data FROM clip_items i "
        "JOIN clip_contents c ON c.id = i.id WHERE i.type != 'image' ORDER BY i.timestamp")
    seen, result = set(), []
    for kind, search, content in rows:
        text = bytes(content).decode('utf-8', 'replace') if kind == 'text' else search
        if not text.strip():
            text = '(blank %d)' % len(result)
        base, n = text, 1
        while text in seen:  # the peers keep one copy of equal texts
            n += 1
            text = '%s (%d)' % (base, n)
        seen.add(text)
        result.append(text)
    json.dump(result, open(out, 'w'))

def fill_copyq(path):
    items, batch, size = json.load(open(path)), [], 0
    def flush():
        if batch:
            subprocess.run(['copyq', 'add', '--'] + batch, check=True, stdout=subprocess.DEVNULL)
    for text in items:
        if batch and (size + len(text.encode()) > 200000 or len(batch) >= 1000):
            flush()
            batch, size = [], 0
        batch.append(text)
        size += len(text.encode())
    flush()

def gpaste():
    import dbus
    bus = dbus.SessionBus()
    return dbus.Interface(bus.get_object('org.gnome.GPaste', '/org/gnome/GPaste'),
                          'org.gnome.GPaste2')

def fill_gpaste(path):
    items = json.load(open(path))
    gp = gpaste()
    # Saving the whole history after every addition would make filling quadratic in
    # file writes: add all but the last unsaved, then switch saving on and add the last.
    subprocess.run(['gsettings', 'set', 'org.gnome.GPaste', 'save-history', 'false'], check=True)
    for text in items[:-1]:
        gp.Add(text)
    subprocess.run(['gsettings', 'set', 'org.gnome.GPaste', 'save-history', 'true'], check=True)
    time.sleep(1)
    gp.Add(items[-1])
    print(int(gp.GetHistorySize(gp.GetHistoryName())))

def probe(newest, marker, timeout):
    print('ready', flush=True)
    end = time.time() + timeout
    while time.time() < end:
        try:
            if newest() == marker:
                print(int(time.time() * 1000), flush=True)
                return
        except Exception:
            pass
        time.sleep(0.002)
    print('timeout', flush=True)

def probe_nabrix(db, marker, timeout):
    con = sqlite3.connect('file:%s?mode=ro' % db, uri=True)
    query = ("SELECT c.content_data FROM clip_items i JOIN clip_contents c ON c.id = i.id "
             "WHERE i.type = 'text' ORDER BY i.timestamp DESC LIMIT 1")
    def newest():
        row = con.execute(query).fetchone()
        return bytes(row[0]).decode('utf-8', 'replace') if row else None
    probe(newest, marker, timeout)

def probe_gpaste(marker, timeout):
    gp = gpaste()
    probe(lambda: str(gp.GetElementAtIndex(0)[1]), marker, timeout)

command, args = sys.argv[1], sys.argv[2:]
if command == 'texts':
    texts(*args)
elif command == 'fill-copyq':
    fill_copyq(*args)
elif command == 'fill-gpaste':
    fill_gpaste(*args)
elif command == 'probe-nabrix':
    probe_nabrix(args[0], args[1], float(args[2]))
elif command == 'probe-gpaste':
    probe_gpaste(args[0], float(args[1]))
PYTHON
}

# ---------------------------------------------------------------------------------------
# Per program: start, readiness, filling, copy probe, stop. $WORK, $NABRIX, $HELPER set.

current_pid=""

start_program() {  # start_program PEER HOME: starts it in the background, sets current_pid
  peer_env "$2"
  case $1 in
    # On sway Nabrix chooses its platforms itself; the peers are asked to run natively.
    nabrix)
      if [ "$COMPOSITOR" = sway ]; then "$NABRIX" >>"$2/program.log" 2>&1 &
      else QT_QPA_PLATFORM=xcb "$NABRIX" >>"$2/program.log" 2>&1 &
      fi ;;
    copyq)
      if [ "$COMPOSITOR" = sway ]; then QT_QPA_PLATFORM=wayland copyq >>"$2/program.log" 2>&1 &
      else copyq >>"$2/program.log" 2>&1 &
      fi ;;
    gpaste)
      if [ "$COMPOSITOR" = sway ]; then GDK_BACKEND=wayland /usr/libexec/gpaste/gpaste-daemon >>"$2/program.log" 2>&1 &
      else /usr/libexec/gpaste/gpaste-daemon >>"$2/program.log" 2>&1 &
      fi ;;
  esac
  current_pid=$!
}

is_ready() {  # is_ready PEER EXPECTED-COUNT
  case $1 in
    nabrix)
      if [ "$COMPOSITOR" = sway ]; then
        # No tray there: ready once the history is open (the clipboard is bound before
        # the first copy can be made, and measure() waits for it to be quiet).
        ls -l "/proc/$current_pid/fd" 2>/dev/null | grep -q 'history\.sqlite3$'
      else
        # The icon is embedded in the tray panel: a grandchild of the panel window.
        xwininfo -tree -name panel 2>/dev/null | grep -q '^ \{8,\}0x'
      fi ;;
    copyq)
      [ "$(copyq count 2>/dev/null)" = "$2" ] ;;
    gpaste)
      # Asking the client before the daemon owns its name would start a second daemon
      # through D-Bus activation.
      gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.gnome.GPaste 2>/dev/null | grep -q true &&
        [ "$(gpaste-client history-size 2>/dev/null)" = "$2" ] ;;
  esac
}

wait_ready() {  # wait_ready PEER EXPECTED-COUNT TIMEOUT-S: 0 when ready, 1 when it died or timed out
  local end=$(($(date +%s) + $3))
  while [ "$(date +%s)" -lt "$end" ]; do
    alive "$current_pid" || return 1
    is_ready "$1" "$2" && return 0
    sleep 0.01
  done
  return 1
}

stop_program() {
  [ -n "$current_pid" ] || return 0
  local pids
  pids=$(tree_pids "$current_pid")
  kill -TERM "$current_pid" 2>/dev/null || true
  for _ in $(seq 100); do alive "$current_pid" || break; sleep 0.1; done
  # shellcheck disable=SC2086
  kill -KILL $pids 2>/dev/null || true
  wait "$current_pid" 2>/dev/null || true
  current_pid=""
}

# quiet_after START-NS: "MS CPU-MS", the ms from START-NS to the first second in which the
# program used at most one clock tick of CPU (it has done its start-up work, loading
# included) and the CPU time it had used by then, sampled about every 0.1 s; empty if
# that does not happen within 30 s.
quiet_after() {
  local ticks=() times=() i j
  for i in $(seq 0 300); do
    ticks[i]=$(cpu_ticks "$current_pid")
    times[i]=$(date +%s%N)
    for ((j = i; j > 0 && times[i] - times[j - 1] <= 1000000000; j--)); do :; done
    if [ "$j" -lt "$i" ] && [ $((times[i] - times[j])) -ge 900000000 ] &&
      [ $((ticks[i] - ticks[j])) -le 1 ]; then
      echo "$(((times[j] - $1) / 1000000)) $((ticks[j] * 1000 / $(getconf CLK_TCK)))"
      return
    fi
    sleep 0.1
  done
}

# copy_once PEER HOME N INDEX: prints the delay in ms from the copy to the stored entry.
copy_once() {
  local peer=$1 home=$2 marker out probe_pid xclip_pid t0 t1
  marker="peers probe $peer $3 $4 $RANDOM$RANDOM"
  out=$WORK/probe.out
  : >"$out"
  case $peer in
    nabrix)
      /usr/bin/python3 "$HELPER" probe-nabrix "$home/data/nabrix/history.sqlite3" "$marker" 15 >"$out" 2>&1 & ;;
    copyq)
      # shellcheck disable=SC2016
      copyq eval -- 'print("ready\n");
        var end = Date.now() + 15000;
        while (Date.now() < end) {
          if (str(read(0)) == arguments[1]) { print(Date.now() + "\n"); break; }
          sleep(2);
        }
        if (Date.now() >= end) print("timeout\n");' "$marker" >"$out" 2>&1 & ;;
    gpaste)
      /usr/bin/python3 "$HELPER" probe-gpaste "$marker" 15 >"$out" 2>&1 & ;;
  esac
  probe_pid=$!
  for _ in $(seq 500); do grep -q '^ready' "$out" && break; sleep 0.01; done
  t0=$(now_ms)
  if [ "$COMPOSITOR" = sway ]; then
    printf '%s' "$marker" | wl-copy --foreground >/dev/null 2>&1 &
  else
    printf '%s' "$marker" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  fi
  xclip_pid=$!
  wait "$probe_pid" 2>/dev/null || true
  kill "$xclip_pid" 2>/dev/null || true
  wait "$xclip_pid" 2>/dev/null || true
  t1=$(grep -E '^[0-9]{12,}$' "$out" | head -n1 || true)
  [ -n "$t1" ] && echo $((t1 - t0))
}

# fill_template PEER N: makes $WORK/tpl/PEER-N (a home holding N entries) or writes the
# reason it cannot to $WORK/tpl/PEER-N.na.
fill_template() {
  local peer=$1 n=$2 tpl=$WORK/tpl/$1-$2 count max
  rm -rf "$tpl"
  mkdir -p "$tpl"
  case $peer in
    nabrix)
      mkdir -p "$tpl/data/nabrix"
      # The default retention is 30 days: spread the entries over fewer so none expires.
      "$GENERATOR" --count "$n" --images "$IMAGES" --days 20 --seed 1 \
        --output "$tpl/data/nabrix/history.sqlite3" >"$WORK/generate-$n.log" 2>&1 ||
        { echo "generate_history failed: $(tail -n1 "$WORK/generate-$n.log")" >"$tpl.na"; return; }
      count=$(sqlite3 -readonly "$tpl/data/nabrix/history.sqlite3" 'SELECT count(*) FROM clip_items')
      echo "$count" >"$tpl.count"
      /usr/bin/python3 "$HELPER" texts "$tpl/data/nabrix/history.sqlite3" "$WORK/texts-$n.json" ;;
    copyq)
      command -v copyq >/dev/null || { echo "not installed: $(cat "$WORK/install-copyq.na" 2>/dev/null)" >"$tpl.na"; return; }
      start_program copyq "$tpl"
      if ! wait_ready copyq 0 60; then
        echo "did not start: $(grep -m1 . "$tpl/program.log" 2>/dev/null)" >"$tpl.na"; stop_program; return
      fi
      copyq config maxitems "$n" >/dev/null 2>&1 || true
      max=$(copyq config maxitems 2>/dev/null || echo 0)
      if [ "${max:-0}" -lt "$n" ]; then
        echo "keeps at most $max entries (its maxitems limit)" >"$tpl.na"; copyq exit >/dev/null 2>&1 || true; stop_program; return
      fi
      /usr/bin/python3 "$HELPER" fill-copyq "$WORK/texts-$n.json" >>"$WORK/fill.log" 2>&1 ||
        { echo "filling failed (see fill.log)" >"$tpl.na"; stop_program; return; }
      count=$(copyq count)
      copyq exit >/dev/null 2>&1 || true
      stop_program
      echo "$count" >"$tpl.count" ;;
    gpaste)
      [ -x /usr/libexec/gpaste/gpaste-daemon ] || { echo "not installed: $(cat "$WORK/install-gpaste.na" 2>/dev/null)" >"$tpl.na"; return; }
      peer_env "$tpl"
      max=$(gsettings range org.gnome.GPaste max-history-size | awk '{print $NF}')
      if [ "${max:-0}" -lt "$n" ]; then
        echo "keeps at most ${max:-?} entries (its max-history-size limit)" >"$tpl.na"; return
      fi
      gsettings set org.gnome.GPaste max-history-size "$n"
      # In MiB: its largest value, so that no entry is dropped for memory.
      gsettings set org.gnome.GPaste max-memory-usage \
        "$(gsettings range org.gnome.GPaste max-memory-usage | awk '{print $NF}')"
      start_program gpaste "$tpl"
      if ! wait_ready gpaste 0 60; then
        echo "did not start: $(grep -m1 . "$tpl/program.log" 2>/dev/null)" >"$tpl.na"; stop_program; return
      fi
      count=$(/usr/bin/python3 "$HELPER" fill-gpaste "$WORK/texts-$n.json" 2>>"$WORK/fill.log") ||
        { echo "filling failed (see fill.log)" >"$tpl.na"; stop_program; return; }
      stop_program
      echo "$count" >"$tpl.count" ;;
  esac
}

# measure PEER N: appends "PEER N start_med start_min start_max rss copy_med copy_min copy_max
# idle_ms quiet... cpu... idle_percent" to $WORK/results, or "PEER N n/a REASON".
measure() {
  local peer=$1 n=$2 tpl=$WORK/tpl/$1-$2 home=$WORK/home/$1 expected t0 t1 run rss
  local starts=() quiets=() cpus=() copies=() delay before after tick quiet
  if [ -f "$tpl.na" ]; then
    echo "$peer $n n/a $(cat "$tpl.na")" >>"$WORK/results"; return
  fi
  expected=$(cat "$tpl.count")
  for run in $(seq "$RUNS"); do
    rm -rf "$home"
    mkdir -p "$(dirname "$home")"
    cp -a "$tpl" "$home"
    rm -rf "$home/program.log" "$home/run"
    t0=$(date +%s%N)
    start_program "$peer" "$home"
    if ! wait_ready "$peer" "$expected" 300; then
      echo "$peer $n n/a did not become ready with $expected entries within 300 s: $(tail -n1 "$home/program.log" 2>/dev/null)" >>"$WORK/results"
      stop_program; return
    fi
    t1=$(date +%s%N)
    starts+=($(((t1 - t0) / 1000000)))
    quiet=$(quiet_after "$t0")
    if [ -n "$quiet" ]; then
      quiets+=("${quiet% *}")
      cpus+=("${quiet#* }")
    fi
    say "$peer, $n entries: start $run ready after ${starts[-1]} ms, quiet after ${quiet% *} ms" \
      "having used ${quiet#* } ms of CPU"
    [ "$run" -eq "$RUNS" ] || stop_program
  done
  rss=$(rss_kib "$current_pid")
  before=$(cpu_ticks "$current_pid")
  sleep "$IDLE"
  after=$(cpu_ticks "$current_pid")
  tick=$(getconf CLK_TCK)
  for run in $(seq "$COPIES"); do
    # Copies at random moments, so a program that polls is caught at every phase.
    sleep "0.$((RANDOM % 9 + 1))"
    delay=$(copy_once "$peer" "$home" "$n" "$run" || true)
    [ -n "$delay" ] && copies+=("$delay")
    say "$peer, $n entries: copy $run stored after ${delay:-(never)} ms"
  done
  stop_program
  # CPU time in ms, scaled to 60 s, and as a share of the wall time.
  echo "$peer $n $(printf '%s\n' "${starts[@]}" | stats) $rss" \
    "$(printf '%s\n' "${copies[@]}" | stats) $(((after - before) * 60000 / tick / IDLE))" \
    "$(printf '%s\n' "${quiets[@]}" | stats) $(printf '%s\n' "${cpus[@]}" | stats)" \
    "$(awk -v t=$((after - before)) -v hz="$tick" -v s="$IDLE" 'BEGIN { printf "%.4f", 100 * t / hz / s }')" \
    >>"$WORK/results"
}

inside() {
  trap stop_program EXIT
  export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=keyfile
  local n peer
  for n in $SIZES; do
    for peer in $PEERS; do
      say "$(peer_name "$peer"): filling $n entries"
      fill_template "$peer" "$n"
      [ ! -f "$WORK/tpl/$peer-$n.na" ] || say "$(peer_name "$peer"), $n entries: n/a, $(cat "$WORK/tpl/$peer-$n.na")"
    done
    for peer in $PEERS; do
      measure "$peer" "$n"
      rm -rf "${WORK:?}/home/$peer"
    done
    rm -rf "$WORK/tpl"/*-"$n"
  done
}

# ---------------------------------------------------------------------------------------
# The table.

report() {
  awk -v sizes="$SIZES" '
    function group(n,   s) { s = ""; while (n >= 1000) { s = sprintf(" %03d", n % 1000) s; n = int(n / 1000) } return n s }
    function ms(v) { return v >= 10000 ? sprintf("%.1f s", v / 1000) : (v >= 1000 ? sprintf("%.2f s", v / 1000) : sprintf("%d ms", v)) }
    function range(m, lo, hi) { return ms(m) " (" ms(lo) "–" ms(hi) ")" }
    function ratio(a, b) { return (a == "" || b == "" || b == 0) ? "–" : sprintf("%.2f", a / b) }
    {
      key = $1 " " $2
      if ($3 == "n/a") { na[key] = 1; $1 = $2 = $3 = ""; sub(/^ +/, ""); why[key] = $0; next }
      s[key] = $3; smin[key] = $4; smax[key] = $5; rss[key] = $6
      c[key] = $7; cmin[key] = $8; cmax[key] = $9; idle[key] = $10
      q[key] = $11; qmin[key] = $12; qmax[key] = $13; u[key] = $14; umin[key] = $15; umax[key] = $16
      share[key] = $17
    }
    function cell(p, n, what,   k) {
      k = p " " n
      if (k in na || !(k in s)) return "n/a"
      if (what == "start") return range(s[k], smin[k], smax[k])
      if (what == "quiet") return q[k] == "-" ? "never" : range(q[k], qmin[k], qmax[k])
      if (what == "cpu") return u[k] == "-" ? "never" : range(u[k], umin[k], umax[k])
      if (what == "rss") return sprintf("%.1f MiB", rss[k] / 1024)
      if (what == "copy") return c[k] == "-" ? "never" : range(c[k], cmin[k], cmax[k])
      if (what == "idle") return sprintf("%d ms", idle[k])
      if (what == "share") return share[k] " %"
    }
    function value(p, n, what,   k) {
      k = p " " n
      if (k in na || !(k in s)) return ""
      if (what == "start") return s[k]
      if (what == "quiet") return q[k] == "-" ? "" : q[k]
      if (what == "cpu") return u[k] == "-" || u[k] == 0 ? "" : u[k]
      if (what == "rss") return rss[k]
      if (what == "copy") return c[k] == "-" ? "" : c[k]
      if (what == "idle") return idle[k] == 0 ? "" : idle[k]
      if (what == "share") return share[k] == 0 ? "" : share[k]
    }
    END {
      n_whats = split("start quiet cpu rss copy idle share", whats, " ")
      label["start"] = "start → ready, median (min–max)"
      label["quiet"] = "start → quiet, median (min–max)"
      label["cpu"] = "CPU time until quiet, median (min–max)"
      label["rss"] = "RSS after start"
      label["copy"] = "copy → stored, median (min–max)"
      label["idle"] = "CPU time while idle, per 60 s"
      label["share"] = "CPU while idle, CPU time / wall time"
      print "| entries | measure | Nabrix | CopyQ | GPaste | CopyQ / Nabrix | GPaste / Nabrix |"
      print "|---:|---|---:|---:|---:|---:|---:|"
      m = split(sizes, ns, " ")
      for (i = 1; i <= m; i++) {
        n = ns[i]
        for (j = 1; j <= n_whats; j++) {
          w = whats[j]
          printf "| %s | %s | %s | %s | %s | %s | %s |\n", j == 1 ? group(n) : "", label[w],
            cell("nabrix", n, w), cell("copyq", n, w), cell("gpaste", n, w),
            ratio(value("copyq", n, w), value("nabrix", n, w)), ratio(value("gpaste", n, w), value("nabrix", n, w))
        }
      }
      print ""
      name["nabrix"] = "Nabrix"; name["copyq"] = "CopyQ"; name["gpaste"] = "GPaste"
      split("nabrix copyq gpaste", peers, " ")
      for (i = 1; i <= m; i++)
        for (j = 1; j <= 3; j++)
          if (((p = peers[j]) " " ns[i]) in why)
            printf "- n/a for %s at %s entries: %s\n", name[p], group(ns[i]), why[p " " ns[i]]
    }' "$1"
}

# ---------------------------------------------------------------------------------------

case ${1:-} in
  __inside) inside; exit ;;
esac

build="$root/build"
SIZES="1000 10000 100000"
RUNS=5
COPIES=7
IDLE=60
IMAGES=0
PEERS="nabrix copyq gpaste"
COMPOSITORS="x11 sway"
install=1
output=""
while [ $# -gt 0 ]; do
  case $1 in
    --sizes) SIZES=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --copies) COPIES=$2; shift 2 ;;
    --idle) IDLE=$2; shift 2 ;;
    --images) IMAGES=$2; shift 2 ;;
    --peers) PEERS=$2; shift 2 ;;
    --compositors) COMPOSITORS=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    --no-install) install=0; shift ;;
    -h | --help) sed -n '2,15p' "$self" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "peers: unknown option $1" >&2; exit 2 ;;
    *) build=$1; shift ;;
  esac
done
build=$(cd "$build" && pwd)
NABRIX=$build/src/nabrix
GENERATOR=$build/bench/generate_history
output=${output:-$build/bench-results/peers.md}

# The tools this script needs, then each peer on its own: a peer that fails to install
# is reported, not fatal.
tools=(xvfb xauth openbox trayer xclip x11-utils dbus dbus-bin libglib2.0-bin procps sqlite3 python3 python3-dbus)
# CopyQ (Qt 5) runs as a Wayland client only with Qt 5's Wayland platform.
[[ " $COMPOSITORS " != *" sway "* ]] || tools+=(sway xwayland x11-xserver-utils wl-clipboard util-linux qtwayland5)
missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/nabrix-peers.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
if [ "$install" -eq 1 ]; then
  wanted=$(missing_packages "${tools[@]}" copyq gpaste-2)
  if [ -n "$wanted" ]; then
    say "installing $(tr '\n' ' ' <<<"$wanted")"
    $sudo apt-get update -qq || true
    # shellcheck disable=SC2046
    [ -z "$(missing_packages "${tools[@]}")" ] || apt_install $(missing_packages "${tools[@]}")
    apt_install copyq >"$WORK/install-copyq.log" 2>&1 ||
      tail -n1 "$WORK/install-copyq.log" >"$WORK/install-copyq.na"
    apt_install gpaste-2 >"$WORK/install-gpaste.log" 2>&1 ||
      tail -n1 "$WORK/install-gpaste.log" >"$WORK/install-gpaste.na"
  fi
fi
missing=$(missing_packages "${tools[@]}")
[ -z "$missing" ] || { say "missing: $(tr '\n' ' ' <<<"$missing")(run without --no-install)"; exit 2; }

if [ ! -x "$NABRIX" ] || [ ! -x "$GENERATOR" ]; then
  say "building nabrix and generate_history in $build"
  cmake --build "$build" --target nabrix generate_history >&2
fi

export WORK NABRIX GENERATOR SIZES RUNS COPIES IDLE IMAGES PEERS
export HELPER=$WORK/helper.py
write_helper "$HELPER"

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
# The commit the binary was built from: that of the build directory's source tree.
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
versions="Nabrix $(git -C "${source_dir:-$root}" rev-parse --short HEAD 2>/dev/null || echo "from an unknown commit")"
[ -z "$(git -C "${source_dir:-$root}" status --porcelain --untracked-files=no 2>/dev/null)" ] ||
  versions+=" (tree with changes)"
versions+=", ${build_type:-unknown} build"
for package in copyq gpaste-2; do
  v=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || true)
  versions+="; $package ${v:-not installed}"
done

for COMPOSITOR in $COMPOSITORS; do
  export COMPOSITOR
  : >"$WORK/results"
  case $COMPOSITOR in
    x11) runner=("$root/scripts/with-x11" dbus-run-session --) ;;
    sway) runner=("$root/scripts/with-sway") ;;  # it runs its command in a D-Bus session
    *) say "unknown compositor $COMPOSITOR (x11 or sway)"; exit 2 ;;
  esac
  "${runner[@]}" bash "$self" __inside 2> >(grep --line-buffered -v 'Failed to set fd limit' >&2) ||
    say "the measuring run on $COMPOSITOR failed; the table shows what was measured"
  mv "$WORK/results" "$WORK/results-$COMPOSITOR"
done
mkdir -p "$(dirname "$output")"

{
  echo "Date $(date -u '+%Y-%m-%d %H:%M UTC'); $versions."
  echo "Machine: $(nproc) CPUs ($(lscpu | sed -n 's/^Model name: *//p' | head -1)), $(free -h | awk '/^Mem:/ {print $2}') memory," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end. $RUNS starts, $COPIES copies, idle over $IDLE s."
  for COMPOSITOR in $COMPOSITORS; do
    echo
    case $COMPOSITOR in
      x11) echo "On X11 (Xvfb, openbox; copies made with xclip):" ;;
      sway) echo "On sway $(sway --version 2>/dev/null | awk '{print $3}') (headless; copies made with wl-copy, a native client):" ;;
    esac
    echo
    report "$WORK/results-$COMPOSITOR"
  done
} | tee "$output.tmp"
mv "$output.tmp" "$output"
say "written to $output"
