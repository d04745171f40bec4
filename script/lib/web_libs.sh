#!/usr/bin/env bash
# script/lib/web_libs.sh - the artwork's libraries (FreeType, HarfBuzz, FriBidi,
# libexif, libjpeg-turbo) compiled to WebAssembly for the page, from Debian's own source
# packages with Debian's patches: the same versions the native vexa-art links,
# so the page paints the same bytes.
#
#   prefix=$(script/lib/web_libs.sh)     prints the install prefix (include/, lib/)
#
# Built once and kept outside the tree, keyed by the source versions and emcc's:
# $VEXA_WEB_LIBS_CACHE, else /var/cache/vexa-web-libs as root, else
# ~/.cache/vexa-web-libs. A later run finds the prefix and returns at once.
# Adds a deb-src entry for the system's own Debian suites when apt has none.
# Progress goes to stderr, the build logs to <cache>/<key>/logs/.
set -euo pipefail

say() { echo "web_libs: $*" >&2; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The binary packages the native build links, and their source packages.
declare -A source_of=([libfreetype-dev]=freetype [libharfbuzz-dev]=harfbuzz [libfribidi-dev]=fribidi
                      [libexif-dev]=libexif [libjpeg62-turbo-dev]=libjpeg-turbo)
key=""
declare -A version
for bin in libfreetype-dev libharfbuzz-dev libfribidi-dev libexif-dev libjpeg62-turbo-dev; do
  v=$(dpkg-query -W -f='${source:Version}' "$bin" 2>/dev/null) ||
    { say "$bin is not installed (script/setup installs it)"; exit 1; }
  version[${source_of[$bin]}]=$v
  key+="${source_of[$bin]}_$v-"
done
emcc_version=$(emcc -dumpversion 2>/dev/null) || { say "emcc not found"; exit 1; }
# ... and this recipe: a change to it builds afresh.
key+="emcc_$emcc_version-$(sha256sum "$0" | cut -c1-12)"
key=$(printf '%s' "$key" | tr -c 'A-Za-z0-9._+-' '_')

if [ -n "${VEXA_WEB_LIBS_CACHE:-}" ]; then cache=$VEXA_WEB_LIBS_CACHE
elif [ "$(id -u)" -eq 0 ]; then cache=/var/cache/vexa-web-libs
else cache=${XDG_CACHE_HOME:-$HOME/.cache}/vexa-web-libs
fi
prefix=$cache/$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# deb-src entries for the suites of this Debian release, copied from its deb
# entries (deb822 .sources files and one-line lists alike).
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
have_src() {
  grep -rqsE '^(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/
}
if ! have_src; then
  [ -n "$codename" ] || { say "no VERSION_CODENAME in /etc/os-release"; exit 1; }
  say "adding deb-src entries for $codename"
  src=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Stanza by stanza: keep those with a deb type and a suite of this release.
    awk -v rel="$codename" '
      function flush() {
        if (stanza != "" && deb && suite) print stanza "\n"
        stanza = ""; deb = 0; suite = 0
      }
      /^[[:space:]]*$/ { flush(); next }
      /^#/ { next }
      /^Types:/ { deb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/); stanza = stanza "Types: deb-src\n"; next }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == rel || index($i, rel "-") == 1) suite = 1 }
      { stanza = stanza $0 "\n" }
      END { flush() }' "$f" >> "$src"
  done
  lists=""
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    lists+=$(awk -v rel="$codename" '$1 == "deb" {
      for (i = 2; i <= NF; i++) if ($i == rel || index($i, rel "-") == 1) { sub(/^deb/, "deb-src"); print; break } }' "$f")
    lists+=$'\n'
  done
  [ -s "$src" ] && $sudo cp "$src" /etc/apt/sources.list.d/vexa-deb-src.sources
  if [ -n "${lists//[$'\n']/}" ]; then
    printf '%s\n' "$lists" > "$src"
    $sudo cp "$src" /etc/apt/sources.list.d/vexa-deb-src.list
  fi
  rm -f "$src"
  have_src || { say "found no deb entries for $codename to copy"; exit 1; }
  $sudo apt-get update -qq
fi

# Each library is marked done in the prefix as it is installed, so a run
# that failed part way resumes where it stopped.
work=$cache/work-$key
mkdir -p "$work" "$prefix/logs"
logs=$prefix/logs
jobs=$(nproc)
done_lib() { [ -f "$prefix/.done-$1" ]; }
mark() { touch "$prefix/.done-$1"; }

if ! done_lib sources; then
say "fetching the sources: ${!version[*]}"
rm -rf "${work:?}"/*
(cd "$work" && apt-get source -qq \
  freetype="${version[freetype]}" harfbuzz="${version[harfbuzz]}" \
  fribidi="${version[fribidi]}" libexif="${version[libexif]}" \
  libjpeg-turbo="${version[libjpeg-turbo]}") > "$logs/source.log" 2>&1 ||
  { say "apt-get source failed; see $logs/source.log"; tail -5 "$logs/source.log" >&2; exit 1; }
mark sources
fi
tree() { find "$work" -mindepth 1 -maxdepth 1 -type d -name "$1-[0-9]*" | head -1; }

run() {  # run LOG COMMAND...: the command's output into logs/LOG
  local log=$1; shift
  "$@" >> "$logs/$log" 2>&1 || { say "failed: $*; see $logs/$log"; tail -20 "$logs/$log" >&2; exit 1; }
}

# emcc runs configure's test programs under Node, whose own fetch breaks them.
export NODE_OPTIONS=--no-experimental-fetch
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
flags="-O2"

# FreeType as Debian configures it, less the optional decoders plain TrueType
# lettering never uses (compressed fonts, PNG glyphs, the auto-hinter's shaper).
# Its rasteriser flattens TrueType's curves by one of two methods, chosen by
# the processor: on x86-64 and arm64 by stepping (DDA), elsewhere by halving,
# which moves glyph edges by a level here and there. WebAssembly gets the
# 64-bit hosts' method (in plain 64-bit C), so the page's letters are theirs.
if ! done_lib freetype; then
say "building FreeType ${version[freetype]}"
ft=$(tree freetype)
grep -q 'defined( __aarch64__ ) ||' "$ft/src/smooth/ftgrays.c" ||
  { say "FreeType's ftgrays.c has changed: check how it picks its curve method"; exit 1; }
sed -i 's/defined( __aarch64__ ) ||/defined( __aarch64__ ) || defined( __wasm__ ) ||/' "$ft/src/smooth/ftgrays.c"
run freetype.log emcmake cmake -S "$ft" -B "$work/freetype-build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
  -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
  -DFT_DISABLE_BROTLI=ON
run freetype.log cmake --build "$work/freetype-build" -j"$jobs"
run freetype.log cmake --install "$work/freetype-build"
mark freetype
fi

if ! done_lib harfbuzz; then
say "building HarfBuzz ${version[harfbuzz]}"
hb=$(tree harfbuzz)
run harfbuzz.log emcmake cmake -S "$hb" -B "$work/harfbuzz-build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
  -DHB_HAVE_FREETYPE=ON -DFREETYPE_INCLUDE_DIRS="$prefix/include/freetype2" \
  -DFREETYPE_LIBRARY="$prefix/lib/libfreetype.a" -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF \
  -DHB_HAVE_GOBJECT=OFF -DHB_BUILD_SUBSET=OFF -DHB_BUILD_UTILS=OFF -DHB_BUILD_TESTS=OFF
run harfbuzz.log cmake --build "$work/harfbuzz-build" -j"$jobs"
run harfbuzz.log cmake --install "$work/harfbuzz-build"
mark harfbuzz
fi

if ! done_lib fribidi; then
say "building FriBidi ${version[fribidi]}"
fb=$(tree fribidi)
(cd "$fb" && run fribidi.log emconfigure ./configure --prefix="$prefix" --disable-shared --enable-static \
   --disable-docs CFLAGS="$flags")
run fribidi.log emmake make -C "$fb" -j"$jobs"
run fribidi.log emmake make -C "$fb" install
mark fribidi
fi

# libexif's Debian source has no generated configure (Debian runs autoreconf):
# its C files are compiled directly, without translations, as configure would
# set them up here.
if ! done_lib libexif; then
say "building libexif ${version[libexif]}"
ex=$(tree libexif)
mkdir -p "$work/libexif-build/libexif" "$prefix/include/libexif"
printf '#define HAVE_LOCALTIME_R 1\n#define GETTEXT_PACKAGE "libexif-12"\n#define LOCALEDIR "/usr/share/locale"\n' > "$work/libexif-build/config.h"
printf '#include <stdint.h>\n' > "$work/libexif-build/libexif/_stdint.h"
objects=()
for c in "$ex"/libexif/*.c "$ex"/libexif/*/*.c; do
  o=$work/libexif-build/$(basename "$(dirname "$c")")-$(basename "$c" .c).o
  run libexif.log emcc $flags -I"$work/libexif-build" -I"$ex" -I"$ex/libexif" -c "$c" -o "$o"
  objects+=("$o")
done
rm -f "$prefix/lib/libexif.a"
run libexif.log emar rcs "$prefix/lib/libexif.a" "${objects[@]}"
cp "$ex"/libexif/*.h "$work/libexif-build/libexif/_stdint.h" "$prefix/include/libexif/"
mark libexif
fi

# libjpeg-turbo with the libjpeg 6.2 interface, as Debian's libjpeg62-turbo; its
# SIMD code is for processors WebAssembly is not, and the plain C it stands in for
# gives the same pixels for the accurate integer transform the photo uses.
# CMake's type-size probe goes wrong under Emscripten's toolchain here, so
# WebAssembly's sizes are given.
if ! done_lib libjpeg; then
say "building libjpeg-turbo ${version[libjpeg-turbo]}"
jt=$(tree libjpeg-turbo)
run libjpeg.log emcmake cmake -S "$jt" -B "$work/libjpeg-build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR="$prefix/lib" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4
run libjpeg.log cmake --build "$work/libjpeg-build" -j"$jobs"
run libjpeg.log cmake --install "$work/libjpeg-build"
mark libjpeg
fi

rm -rf "$work"
touch "$prefix/.complete"
say "built into $prefix"
echo "$prefix"
