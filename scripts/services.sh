#!/usr/bin/env bash
# start|stop: the Xvfb display and the PulseAudio null sink that the programs and tests use.
set -uo pipefail
source "$(dirname "$0")/env.sh"
export XDG_RUNTIME_DIR=$TRVX_RUNTIME/xdg

# A display is there when a client can open it. A killed server leaves its lock and socket behind,
# and Xvfb refuses a lock whose process is not yet reaped: a display that does not answer is cleared.
display_answers() { DISPLAY=$TRVX_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1; }

start() {
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  if ! display_answers; then
    rm -f "/tmp/.X${TRVX_DISPLAY#:}-lock" "/tmp/.X11-unix/X${TRVX_DISPLAY#:}"
    Xvfb "$TRVX_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$TRVX_RUNTIME/xvfb.log" 2>&1 &
    echo $! >"$TRVX_RUNTIME/xvfb.pid"
    for _ in $(seq 100); do display_answers && break; sleep 0.1; done
    if ! display_answers; then
      echo "services: no X display at $TRVX_DISPLAY; Xvfb said:" >&2
      cat "$TRVX_RUNTIME/xvfb.log" >&2
      return 1
    fi
  fi
  if ! pactl info >/dev/null 2>&1; then
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=no \
      --load="module-null-sink sink_name=nullsink" --load=module-native-protocol-unix \
      >"$TRVX_RUNTIME/pulse.log" 2>&1
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    if ! pactl set-default-sink nullsink; then
      echo "services: no PulseAudio null sink; pulseaudio said:" >&2
      cat "$TRVX_RUNTIME/pulse.log" >&2
      return 1
    fi
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
