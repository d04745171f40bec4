#!/usr/bin/env bash
# install_test.sh - `cmake --install` of the build into a temporary prefix:
# the tree it makes, DESTDIR, and the installed programs run from elsewhere
# (the artwork found from their own path, the prefix moved too). Needs
# VEXA_BUILD (a built tree), VEXA_VERSION, VEXA_ART_TOOL (the artwork
# generator's name) and DISPLAY with xdotool for the one run that plays.
set -uo pipefail
unset VEXA_PHOTO VEXA_SHOW_FPS

. "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
pid=""
work=$(mktemp -d)
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT

prefix=$work/prefix
cmake --install "$VEXA_BUILD" --prefix "$prefix" >"$work/install.log" 2>&1; st=$?
check "cmake --install ends with status 0" '[ $st -eq 0 ]'

# Exactly the programs, the generated artwork and the documents.
art=$(cd "$VEXA_BUILD/tex" && ls ./*.bmp | sed 's|^\./|share/vexa/tex/|')
docs=$(cd "$VEXA_SOURCE/docs" && ls ./*.md ./*.png | sed 's|^\./|share/doc/vexa/docs/|')
expected=$(printf '%s\n' bin/vexa bin/vexa-capture "bin/$VEXA_ART_TOOL" $art $docs \
  share/doc/vexa/README.md share/doc/vexa/LICENSE share/doc/vexa/changelog.gz share/doc/vexa/copyright \
  share/man/man1/{vexa,vexa-capture,"$VEXA_ART_TOOL"}.1.gz \
  share/bash-completion/completions/{vexa,vexa-capture,"$VEXA_ART_TOOL"} | sort)
got=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
check "the installed tree (got: $(echo $got))" '[ "$got" = "$expected" ] && [ "$(echo "$art" | wc -l)" -eq 12 ]'
check "the installed artwork is the build'\''s" 'for f in "$VEXA_BUILD"/tex/*.bmp; do cmp -s "$f" "$prefix/share/vexa/tex/${f##*/}" || exit 1; done'
check "the programs are executable" '[ -x "$prefix/bin/vexa" ] && [ -x "$prefix/bin/vexa-capture" ]'

DESTDIR=$work/stage cmake --install "$VEXA_BUILD" --prefix /usr/local >/dev/null 2>&1
check "DESTDIR puts the prefix under it" '[ -x "$work/stage/usr/local/bin/vexa" ] && [ -f "$work/stage/usr/local/share/vexa/tex/5.bmp" ]'

# From an empty working directory the installed programs find their artwork.
mkdir "$work/empty" && cd "$work/empty" || exit 1
env -u DISPLAY "$prefix/bin/vexa" --version >"$work/version.txt" 2>&1; st=$?
check "the installed vexa --version answers" '[ $st -eq 0 ] && [ "$(cat "$work/version.txt")" = "vexa $VEXA_VERSION" ]'
frame="--time 12500 --seed 7 --photo --size 96x72"
(cd "$VEXA_BUILD" && env -u DISPLAY ./vexa-capture $frame --out "$work/built.png")
env -u DISPLAY "$prefix/bin/vexa-capture" $frame --out installed.png 2>"$work/capture.err"; st=$?
check "the installed vexa-capture renders a frame from an empty directory (status $st: $(head -n 1 "$work/capture.err"))" \
  '[ $st -eq 0 ] && [ -s installed.png ] && cmp -s installed.png "$work/built.png"'
mv "$prefix" "$work/moved"
env -u DISPLAY "$work/moved/bin/vexa-capture" $frame --out moved.png 2>/dev/null
check "and from a moved prefix" 'cmp -s moved.png "$work/built.png"'

# The installed vexa plays, started from the root directory.
(cd / && exec "$work/moved/bin/vexa" --window >"$work/play.out" 2>"$work/play.err") &
pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --name "^$work/moved/bin/vexa\$" 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 2.5  # past loading and the settling pause: a failed load has ended it
check "the installed vexa plays from / ($(head -n 1 "$work/play.err"))" '[ -n "$wid" ] && kill -0 "$pid" 2>/dev/null'

report
