# program_lib.sh - shared by the shell tests that drive the real program in an
# X server (program_test.sh, exit_paths_test.sh, soak_test.sh). Source it; it
# needs DISPLAY, xdotool, VEXA_BIN (the program) and VEXA_BUILD (where tex/ is).
#
#   program_workdir NAME   a temp dir holding a copy of the program as ./NAME
#                          (its window title), made current, removed at exit
#   link_tex               tex -> the build's generated artwork
#   start_program          runs ./NAME with out.txt and err.txt, waits for its
#                          window and focuses it; sets pid and wid
#   settle                 waits out the one-second settling pause
#   wait_end SECONDS       waits for the program to end; sets status (124
#                          when it did not end in time)
#   check WHAT CMD...      counts CMD as a pass or a failure named WHAT
#   report                 prints "N passed, N failed"; fails if any failed

passes=0
fails=0
pid=""
wid=""

program_workdir() {
  name=$1
  work=$(mktemp -d)
  trap 'program_cleanup' EXIT
  cp "$VEXA_BIN" "$work/$name"
  cd "$work" || exit 1
}

program_cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  rm -rf "$work"
}

link_tex() { ln -s "$VEXA_BUILD/tex" tex; }

start_program() {
  "./$name" >out.txt 2>err.txt &
  pid=$!
  wid=""
  for _ in $(seq 150); do
    wid=$(xdotool search --name "^\\./$name\$" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$wid" ] && xdotool windowfocus --sync "$wid" 2>/dev/null
  [ -n "$wid" ]
}

settle() { sleep 1.3; }

wait_end() {
  status=124
  for _ in $(seq $(($1 * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      pid=""
      return
    fi
    sleep 0.1
  done
}

check() {
  local what=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    fails=$((fails + 1))
    echo "FAIL: $what"
    [ -s err.txt ] && sed 's/^/    stderr: /' err.txt | head -n 30
  fi
  return 0
}

report() {
  echo "$passes passed, $fails failed"
  [ "$fails" -eq 0 ]
}
