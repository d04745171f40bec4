# check_lib.sh - the bookkeeping of the shell tests, sourced by them.
#
#   . "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
#   check "what must hold" '[ condition ]'
#   ...
#   report        # last: the closing line, and status 0 only when all held
fails=0
passes=0

check() {  # check DESCRIPTION CONDITION (a shell condition, evaluated)
  if eval "$2"; then
    passes=$((passes + 1))
  else
    fails=$((fails + 1))
    echo "FAIL: $1"
  fi
}

report() {
  echo "$passes passed, $fails failed"
  [ "$fails" -eq 0 ]
}
