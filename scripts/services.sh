#!/usr/bin/env bash
# start|stop: the Xvfb display and the PulseAudio null sink that the programs and tests use.
set -uo pipefail
source "$(dirname "$0")/env.sh"
export XDG_RUNTIME_DIR=$TRVX_RUNTIME/xdg

start() {
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  if [ ! -e "/tmp/.X11-unix/X${TRVX_DISPLAY#:}" ]; then
    Xvfb "$TRVX_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$TRVX_RUNTIME/xvfb.log" 2>&1 &
    echo $! >"$TRVX_RUNTIME/xvfb.pid"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${TRVX_DISPLAY#:}" ] && break; sleep 0.1; done
  fi
  if ! pactl info >/dev/null 2>&1; then
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=no \
      --load="module-null-sink sink_name=nullsink" --load=module-native-protocol-unix \
      >"$TRVX_RUNTIME/pulse.log" 2>&1
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink nullsink
  fi
}

stop() {
  pactl info >/dev/null 2>&1 && pulseaudio --kill 2>/dev/null
  if [ -f "$TRVX_RUNTIME/xvfb.pid" ]; then
    kill "$(cat "$TRVX_RUNTIME/xvfb.pid")" 2>/dev/null
    rm -f "$TRVX_RUNTIME/xvfb.pid"
  fi
  for arch in i686 x86_64; do
    (trvx_wine_arch $arch && "$TRVX_WINESERVER" -k 2>/dev/null)
  done
  return 0
}

mkdir -p "$TRVX_RUNTIME"
case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
