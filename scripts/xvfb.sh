# Sourced: starts Xvfb on a free display for programs that make top-level windows, exports DISPLAY
# and defines quorallion_stop_xvfb.
quorallion_start_xvfb() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
      QUORALLION_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X${n}" ] && return 0
        sleep 0.1
      done
      return 0
    fi
  done
  echo "xvfb: no free display" >&2
  return 1
}
quorallion_stop_xvfb() {
  if [ -n "${QUORALLION_XVFB_PID:-}" ]; then
    kill "$QUORALLION_XVFB_PID" 2>/dev/null || true
    wait "$QUORALLION_XVFB_PID" 2>/dev/null || true
  fi
}
