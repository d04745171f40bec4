# capture_lib.sh - sourced by the shell tests of vexa-capture.
#
#   . "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"
#   check "what must hold" '[ condition ]'     (check_lib.sh)
#   ...
#   report
#
# Runs the test in a fresh temporary directory (removed at exit) holding a
# link to the build's artwork as tex/, with no X display and no VEXA_PHOTO.
# Needs VEXA_CAPTURE (the tool) and VEXA_BUILD (where tex/ is).
set -uo pipefail
unset DISPLAY VEXA_PHOTO

. "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
ln -s "$VEXA_BUILD/tex" tex
