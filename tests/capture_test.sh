#!/usr/bin/env bash
# capture_test.sh - vexa-capture from the outside, with no X display: its
# files and its failures. Needs VEXA_CAPTURE (the tool) and
# VEXA_BUILD (where tex/ is); ffmpeg and ffprobe for the video checks.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"


cap() { "$VEXA_CAPTURE" "$@"; }

# png_field FILE OFFSET LENGTH: a big-endian number from the file.
png_field() {
  od -An -tu1 -j "$2" -N "$3" "$1" | awk '{ n = 0; for (i = 1; i <= NF; i++) n = n * 256 + $i; print n }'
}
is_png() {  # is_png FILE WIDTH HEIGHT: an 8-bit RGB PNG of that size
  [ "$(od -An -c -j 1 -N 3 "$1" | tr -d ' ')" = "PNG" ] &&
    [ "$(png_field "$1" 16 4)" = "$2" ] && [ "$(png_field "$1" 20 4)" = "$3" ] &&
    [ "$(png_field "$1" 24 1)" = 8 ] && [ "$(png_field "$1" 25 1)" = 2 ]
}

# pixels FILE: a digest of the decoded picture, whatever the compression.
pixels() { ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgb24 - | md5sum; }

# The command line itself is capture_options_test.sh's.

# Missing or broken artwork: the loader's message naming the file, status 1.
mkdir -p empty/tex
cap --tex empty --time 5 --seed 1 --out x.png 2>missing.err; st=$?
check "missing artwork ends with status 1" '[ $st -eq 1 ]'
check "missing artwork names the first image as the user finds it" '[ "$(head -n 1 missing.err)" = "vexa-capture: empty/tex/5.bmp: can'\''t open file." ]'
check "missing artwork writes no frame" '[ ! -e x.png ]'
cap --tex empty// --time 5 --seed 1 --out x.png 2>missing.err
check "paths in messages have no doubled slashes ($(head -n 1 missing.err))" '[ "$(head -n 1 missing.err)" = "vexa-capture: empty/tex/5.bmp: can'\''t open file." ]'
cap --fps 1 --seed 1 --out no-such-dir//frames/ 2>missing.err
check "nor a directory of frames ($(cat missing.err))" '[ "$(cat missing.err)" = "vexa-capture: no-such-dir/frames: cannot make the directory: No such file or directory" ]'

# The artwork in the build directory loads: anything else is a failure.
cap --time 0 --size 8x8 --out probe.png 2>probe.err; st=$?
check "the artwork loads and a frame renders with status 0" '[ $st -eq 0 ]'

# One frame: the requested size, the same bytes for the same seed, a
# different strip layout for another seed, nothing said on success.
cap --time 12500 --seed 7 --out a.png >a.out 2>a.err; st=$?
check "a frame is written with status 0" '[ $st -eq 0 ]'
check "a frame is an RGB PNG of the default size" 'is_png a.png 1024 768'
check "a frame is written silently" '[ ! -s a.out ] && [ ! -s a.err ]'
cap --time 12500 --seed 7 --out b.png
check "the same seed gives the same file" 'cmp -s a.png b.png'
cap --time 12500 --seed 8 --out c.png
check "another seed scatters the strips elsewhere" '! cmp -s a.png c.png'
cap --time 12500 --seed 7 --size 360x640 --out tall-a.png && cap --time 12500 --seed 7 --size 360x640 --adapt --out tall-b.png
check "the same seed gives the same file in a tall layout, --adapt the default" 'cmp -s tall-a.png tall-b.png'
cap --time 5050 --seed 7 --out d.png && cap --time 5050 --seed 8 --out e.png
check "the seed does not touch the countdown" 'cmp -s d.png e.png'
cap --time 300 --size 320x200 --out small.png
check "--size sets the picture size" 'is_png small.png 320 200'
for size in 0000064x48 64x0000000000048; do
  cap --time 300 --size $size --out zeros.png
  check "leading zeros on either side of --size: $size" 'is_png zeros.png 64 48'
  rm -f zeros.png
done
cap --time 9050 --photo --size 64x48 --out photo.png && cap --time 9050 --size 64x48 --out dark.png
check "--photo shows the backdrop" '! cmp -s photo.png dark.png'
VEXA_PHOTO= cap --time 9050 --size 64x48 --out photo-env.png
check "VEXA_PHOTO in the environment shows it too" 'cmp -s photo.png photo-env.png'
mkdir elsewhere && (cd elsewhere && cap --tex .. --time 12500 --seed 7 --out rel.png)
check "--tex loads from another directory; --out stays relative to the caller" 'cmp -s a.png elsewhere/rel.png'

# The whole show as numbered PNGs: t = floor(k * 1000 / fps) up to 15999.
cap --fps 2 --size 64x48 --seed 1 --out frames/ 2>frames.err
check "--fps 2 writes 32 frames" '[ "$(ls frames | wc -l)" -eq 32 ]'
check "frames are numbered from frame-00000.png" '[ -f frames/frame-00000.png ] && [ -f frames/frame-00031.png ]'
check "frames have the requested size" 'is_png frames/frame-00017.png 64 48'
check "no progress bar when stderr is not a terminal" '[ ! -s frames.err ]'
cap --time 15500 --size 64x48 --out last.png
check "the last frame is the one at 15500 ms" '[ "$(pixels frames/frame-00031.png)" = "$(pixels last.png)" ]'
script -qec "'$VEXA_CAPTURE' --fps 1 --size 16x16 --out tty-frames/" /dev/null >tty.out 2>&1
check "a progress bar on a terminal" 'grep -q "16/16 frames" tty.out'

# The contact sheet: four by four frames, a quarter size, labelled below.
cap --sheet --size 320x240 --out sheet.png
check "the contact sheet has its grid's size" 'is_png sheet.png $((4 * 80 + 5 * 8)) $((4 * (60 + 22) + 5 * 8))'

# The README's contact sheet is what the README's command makes (the
# command read from the README, run in a build directory's place).
readme=$(dirname "${BASH_SOURCE[0]}")/../README.md
args=$(sed -n 's|^ *\./vexa-capture \(.*\) --out \.\./docs/contact-sheet\.png$|\1|p' "$readme")
# shellcheck disable=SC2086
cap $args --out readme-sheet.png
check "docs/contact-sheet.png is what the README's command makes ($args)" \
  '[ -n "$args" ] && [ "$(pixels readme-sheet.png)" = "$(pixels "$(dirname "$readme")/docs/contact-sheet.png")" ]'
# And so is every layout's sheet, each from its command in docs/layouts.md.
mapfile -t sheets < <(sed -n 's|^ *\./vexa-capture \(.*\) --out \.\./docs/\(contact-sheet[^ ]*\.png\)$|\2 \1|p' \
  "$(dirname "$readme")/docs/layouts.md")
for sheet in "${sheets[@]}"; do
  read -r name args <<<"$sheet"
  # shellcheck disable=SC2086
  cap $args --out "layout-$name"
  check "docs/$name is what docs/layouts.md's command makes ($args)" \
    '[ "$(pixels "layout-$name")" = "$(pixels "$(dirname "$readme")/docs/$name")" ]'
done
check "docs/layouts.md gives four sheets' commands (${#sheets[@]})" '[ "${#sheets[@]}" = 4 ]'

# A video through ffmpeg.
cap --fps 4 --size 96x72 --out show.mp4
video=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=codec_name,width,height,nb_read_frames -of csv=p=0 show.mp4 2>&1)
check "an mp4 of 64 H.264 frames of 96x72 (ffprobe: $video)" '[ "$video" = "h264,96,72,64" ]'
cap --fps 2 --size 96x64 --out show.webm
check "a webm of VP9 frames" '[ "$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name -of csv=p=0 show.webm)" = vp9 ]'

mkdir -p nophoto/tex && cp "$VEXA_BUILD"/tex/*.bmp nophoto/tex/ && rm nophoto/tex/photo.bmp
cap --tex nophoto --time 5 --out y.png; st=$?
check "no photo is needed without --photo" '[ $st -eq 0 ]'
cap --tex nophoto --photo --time 5 --seed 1 --out z.png 2>photo.err; st=$?
check "--photo without the photo ends with status 1" '[ $st -eq 1 ] && grep -q "^vexa-capture: nophoto/tex/photo.bmp: " photo.err'
head -c 100 "$VEXA_BUILD/tex/3.bmp" >nophoto/tex/3.bmp
cap --tex nophoto --time 5 --seed 1 --out z.png 2>broken.err; st=$?
check "a truncated image ends with status 1 and its name" '[ $st -eq 1 ] && grep -q "^vexa-capture: nophoto/tex/3.bmp: " broken.err'
check "a failed run writes no frame" '[ ! -e z.png ]'
cap --tex no-such-dir --time 5 --out z.png 2>nodir.err; st=$?
check "a missing --tex directory ends with status 1" '[ $st -eq 1 ] && grep -q "no-such-dir" nodir.err'

# Output that cannot be written: status 1, and nothing half-written left.
cap --time 5 --size 16x16 --out no-such-dir/x.png 2>nowrite.err; st=$?
check "an unwritable frame path ends with status 1 and its name" '[ $st -eq 1 ] && grep -q "no-such-dir/x.png" nowrite.err'
mkdir -p blocked/in-the-way.png
cap --time 5 --size 16x16 --out blocked/in-the-way.png 2>blocked.err; st=$?
check "a frame into a directory named like a picture is refused" '[ $st -eq 2 ] && grep -q "blocked/in-the-way.png" blocked.err'
check "and leaves nothing in it or beside it" '[ "$(ls -A blocked)" = in-the-way.png ] && [ -z "$(ls -A blocked/in-the-way.png)" ]'
cap --fps 1 --size 16x16 --out no-such-dir/show.mp4 2>novideo.err; st=$?
check "an unwritable video path ends with status 1" '[ $st -eq 1 ] && [ ! -e no-such-dir ]'

report
