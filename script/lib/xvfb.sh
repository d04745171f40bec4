# script/lib/xvfb.sh - sourced by the scripts that need an X display.
#
#   . script/lib/xvfb.sh
#   need_display          # starts a 1024x768 Xvfb when DISPLAY is unset
#
# The server picks a free display itself and names it on a pipe (-displayfd),
# so two scripts starting at once never race for the same number. It keeps
# running when its last client leaves (-noreset: a server that resets refuses
# the next client for a moment) and is stopped when the sourcing script exits.
# With DISPLAY set nothing is started.
need_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo n=""
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/xvfb-display.XXXXXX")
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  read -r -t 10 n <"$fifo"
  rm -f "$fifo"
  if [ -z "$n" ]; then
    echo "${0##*/}: the virtual X server did not start" >&2
    return 1
  fi
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "${0##*/}: the virtual X server on :$n does not answer" >&2
  return 1
}
