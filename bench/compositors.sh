#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts one Wayland compositor headless (no GPU, no input devices), with XWayland, for
# measuring by hand what Nabrix sees there; stops it on exit.
#   bench/compositors.sh sway|kwin|mutter [COMMAND ARGS...]
# Prints the environment for clients (XDG_RUNTIME_DIR, WAYLAND_DISPLAY, DISPLAY,
# XAUTHORITY, DBUS_SESSION_BUS_ADDRESS) as shell assignments, then runs COMMAND in it, or
# waits until interrupted. Examples:
#   bench/compositors.sh mutter bash              # a shell inside the session
#   bench/compositors.sh kwin wayland-info        # what KWin offers its clients
# sway refuses to run as root: started by root, it runs as NABRIX_COMPOSITOR_USER (default
# nobody) in a runtime directory of that user, and so does COMMAND, since its XWayland
# admits only clients of the same user. HOME is the runtime directory.
# kwin_wayland carries a file capability (cap_sys_resource) that an unprivileged container
# cannot grant, so a copy of the binary without it is run. Never part of `make test`.
set -euo pipefail

name=${1:-}
case "$name" in
  sway|kwin|mutter) shift ;;
  *) echo "usage: $0 sway|kwin|mutter [COMMAND ARGS...]" >&2; exit 2 ;;
esac
for tool in dbus-run-session Xwayland; do
  command -v "$tool" >/dev/null || { echo "compositors: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/nabrix-measure-$name.XXXXXX")
runtime=$work/runtime
mkdir -m 700 "$runtime"
as_user=()
if [ "$name" = sway ] && [ "$(id -u)" = 0 ]; then
  user=${NABRIX_COMPOSITOR_USER:-nobody}
  chmod 755 "$work"
  chown "$user:" "$runtime"
  as_user=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups)
fi

pid=
cleanup() {
  # sway and KWin start their clients in sessions of their own.
  probe_pid=$(sed -n 's/^probe_pid=//p' "$runtime/env" 2>/dev/null || true)
  [ -z "$probe_pid" ] || kill "$probe_pid" 2>/dev/null || true
  if [ -n "$pid" ]; then
    # The compositor and its clients (XWayland, the probe below) form one process group.
    kill -TERM -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  [ -n "${NABRIX_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A client of the compositor that reports the environment the compositor gives its clients.
report="{ env; echo probe_pid=\$\$; } > $runtime/env.tmp && mv $runtime/env.tmp $runtime/env && exec sleep infinity"
probe="sh -c $(printf '%q' "$report")"

export XDG_RUNTIME_DIR=$runtime HOME=$runtime
unset WAYLAND_DISPLAY DISPLAY XAUTHORITY
case "$name" in
  sway)
    command -v sway >/dev/null || { echo "compositors: sway is missing" >&2; exit 2; }
    printf 'xwayland enable\nexec %s\n' "$probe" >"$runtime/config"
    chmod 644 "$runtime/config"
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
      setsid "${as_user[@]}" sway --config "$runtime/config" >"$work/log" 2>&1 &
    ;;
  kwin)
    command -v kwin_wayland >/dev/null || { echo "compositors: kwin_wayland is missing" >&2; exit 2; }
    cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
    # KWin takes each program to start as one shell-quoted string.
    setsid dbus-run-session -- "$work/kwin_wayland" --virtual --xwayland --socket wayland-nabrix \
      "$probe" >"$work/log" 2>&1 &
    ;;
  mutter)
    command -v mutter >/dev/null || { echo "compositors: mutter is missing" >&2; exit 2; }
    setsid dbus-run-session -- mutter --headless --wayland --virtual-monitor 1280x800 \
      -- sh -c "$report" >"$work/log" 2>&1 &
    ;;
esac
pid=$!

for _ in $(seq 1 300); do
  [ -s "$runtime/env" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$runtime/env" ]; then
  echo "compositors: $name did not start its clients; its log:" >&2
  cat "$work/log" >&2
  exit 1
fi

client_env=(XDG_RUNTIME_DIR="$runtime")
for variable in WAYLAND_DISPLAY DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS; do
  value=$(sed -n "s/^$variable=//p" "$runtime/env")
  [ -n "$value" ] && client_env+=("$variable=$value")
done
printf '%q\n' "${client_env[@]}"
echo "compositors: $name runs (log: $work/log)" >&2

if [ $# -gt 0 ]; then
  set +e
  env "${client_env[@]}" "${as_user[@]}" "$@"
  status=$?
  set -e
  exit $status
fi
wait "$pid"
