# capture_lib.sh - sourced by the shell tests of vexa-capture.
#
#   . "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"
#   check "what must hold" '[ condition ]'
#   ...
#   report
#
# Runs the test in a fresh temporary directory (removed at exit) holding a
# link to the build's artwork as tex/, with no X display and no VEXA_PHOTO.
# Needs VEXA_CAPTURE (the tool) and VEXA_BUILD (where tex/ is).
set -uo pipefail
unset DISPLAY VEXA_PHOTO

fails=0
passes=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
ln -s "$VEXA_BUILD/tex" tex

check() {  # check DESCRIPTION CONDITION (a shell condition, evaluated)
  if eval "$2"; then
    passes=$((passes + 1))
  else
    fails=$((fails + 1))
    echo "FAIL: $1"
  fi
}

report() {  # the closing line, and the status: 0 when every check held
  echo "$passes passed, $fails failed"
  [ "$fails" -eq 0 ]
}
