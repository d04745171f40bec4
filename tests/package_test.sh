#!/usr/bin/env bash
# package_test.sh - the Debian package `cpack -G DEB` makes from the build:
# its name, its files, its dependencies, its vexa-capture unpacked, no lintian
# error, hardened programs, manual pages naming every option, and the same
# bytes from a second run.
# Skipped (77) only when dpkg-deb is missing (script/setup installs it).
# Needs VEXA_BUILD (a built tree), VEXA_VERSION, VEXA_ART_TOOL (the artwork
# generator's name).
set -uo pipefail
command -v dpkg-deb >/dev/null || { echo "SKIP: no dpkg-deb"; exit 77; }

. "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB -B "$work" --config "$VEXA_BUILD/CPackConfig.cmake" >"$work/cpack.log" 2>&1; st=$?
deb=$work/vexa_${VEXA_VERSION}_$(dpkg --print-architecture).deb
check "cpack makes $deb (status $st: $(grep -m 1 -i error "$work/cpack.log"))" '[ $st -eq 0 ] && [ -f "$deb" ]'

# The files: the programs, the generated artwork, the documents, under /usr.
art=$(cd "$VEXA_BUILD/tex" && ls ./*.bmp | sed 's|^\./|./usr/share/vexa/tex/|')
docs=$(cd "$VEXA_SOURCE/docs" && ls ./*.md ./*.png | sed 's|^\./|./usr/share/doc/vexa/docs/|')
programs=(vexa vexa-capture "$VEXA_ART_TOOL")
expected=$(printf '%s\n' ./usr/bin/vexa ./usr/bin/vexa-capture "./usr/bin/$VEXA_ART_TOOL" $art $docs \
  ./usr/share/doc/vexa/{README.md,LICENSE,changelog.gz,copyright} \
  "${programs[@]/#/./usr/share/bash-completion/completions/}" \
  $(printf './usr/share/man/man1/%s.1.gz ' "${programs[@]}") | sort)
got=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
check "the package's files (got: $(echo $got))" '[ "$got" = "$expected" ]'

field() { dpkg-deb -f "$deb" "$1"; }
check "Package, Version, Architecture" \
  '[ "$(field Package) $(field Version) $(field Architecture)" = "vexa $VEXA_VERSION $(dpkg --print-architecture)" ]'
# Depends: every library the programs link, from dpkg-shlibdeps, and the font.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort)
for want in libc6 libstdc++6 libopengl0 libglx0 libegl1 libglut3.12 libpng16-16 libfreetype6 libfontconfig1 \
  libjpeg62-turbo libzip4 libharfbuzz0b fonts-dejavu-core; do
  check "Depends names $want (Depends: $(field Depends))" 'grep -qx "$want" <<<"$depends"'
done
check "Depends carries versions from the libraries" 'grep -q "libc6 (>= " <<<"$(field Depends)"'
check "Recommends ffmpeg and a CJK face" '[ "$(field Recommends)" = "ffmpeg, fonts-noto-cjk | fonts-wqy-microhei" ]'

# Unpacked as dpkg would, the packaged vexa-capture renders from anywhere.
dpkg-deb -x "$deb" "$work/root"
frame="--time 12500 --seed 7 --photo --size 96x72"
(cd "$VEXA_BUILD" && env -u DISPLAY ./vexa-capture $frame --out "$work/built.png")
(cd / && env -u DISPLAY "$work/root/usr/bin/vexa-capture" $frame --out "$work/packaged.png" 2>"$work/capture.err"); st=$?
check "the packaged vexa-capture renders from / (status $st: $(head -n 1 "$work/capture.err"))" \
  '[ $st -eq 0 ] && cmp -s "$work/packaged.png" "$work/built.png"'

# Debian's checks: no lintian error, and none of its hardening notes
# (bindnow, fortify, stack protector, relro, PIE).
lintian -I --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1; st=$?
check "lintian runs (status $st; script/setup installs it)" '[ $st -eq 0 ] || grep -q "^[EWI]:" "$work/lintian.txt"'
check "no lintian error ($(grep "^E:" "$work/lintian.txt" | tr '\n' ' '))" '! grep -q "^E:" "$work/lintian.txt"'
check "hardened programs ($(grep -o "hardening-[a-z-]*.*" "$work/lintian.txt" | tr '\n' ' '))" \
  '! grep -q "hardening-" "$work/lintian.txt"'

# Each manual page names every long option its program's --help names.
for p in "${programs[@]}"; do
  page=$(zcat "$work/root/usr/share/man/man1/$p.1.gz" 2>/dev/null | sed 's/\\-/-/g')
  missing=$("$VEXA_BUILD/$p" --help | grep -o -- '--[a-z][a-z-]*' | sort -u | while read -r o; do
    grep -q -- "$o" <<<"$page" || echo "$o"; done)
  check "the manual page of $p names every option (missing: $missing)" '[ -n "$page" ] && [ -z "$missing" ]'
done

# Two runs from one build give the same bytes.
mkdir "$work/again"
cpack -G DEB -B "$work/again" --config "$VEXA_BUILD/CPackConfig.cmake" >/dev/null 2>&1
check "a second package has the same bytes" 'cmp -s "$deb" "$work/again/${deb##*/}"'

report
