# script/lib/xvfb.sh - sourced by the scripts that need an X display.
#
#   . script/lib/xvfb.sh
#   need_display          # starts a 1024x768 Xvfb when DISPLAY is unset
#
# The server runs on the first free display from :90 and is stopped when the
# sourcing script exits. With DISPLAY set nothing is started.
need_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "${0##*/}: the virtual X server on :$n did not start" >&2
  return 1
}
