#!/usr/bin/env bash
# capture_output_test.sh - the files vexa-capture leaves: a video under any
# name ffmpeg might misread, kept only when it holds every frame; frame
# directories never mixing two runs; frames larger than ffmpeg's pipe sent
# whole; modes from the umask; long names.
# Needs VEXA_CAPTURE, VEXA_BUILD (where tex/ is), ffmpeg and ffprobe.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"


cap() { "$VEXA_CAPTURE" "$@"; }
# frames_in FILE: the video frames ffprobe counts in FILE (any name).
frames_in() {
  ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "file:$1" 2>/dev/null
}
# only DIR NAMES...: DIR holds exactly these names (hidden ones counted).
only() { local d=$1; shift; [ "$(ls -A "$d" | sort)" = "$(printf '%s\n' "$@" | sort)" ]; }

# Video names ffmpeg would take as a protocol or an option: the video is
# written under that very name, whole, and nothing goes to standard output.
mkdir v 'v/file:d'
for name in 'file:c.mp4' 'pipe:1.webm' '-clip.mp4' 'file:d/x.mp4'; do
  (cd v && cap --tex .. --fps 1 --size 16x16 --out "$name" >../v.out 2>../v.err); st=$?
  check "video '$name': status 0 ($(head -n 1 v.err))" '[ $st -eq 0 ]'
  check "video '$name': 16 frames under its own name" '[ "$(frames_in "v/$name")" = 16 ]'
  check "video '$name': nothing on standard output" '[ ! -s v.out ]'
done
check "videos: no file left but the videos" 'only v -clip.mp4 file:c.mp4 file:d pipe:1.webm && only v/file:d x.mp4'

# An ffmpeg that ends well having written nothing, or no ffprobe to check
# with: status 1 with a message, no video.
mkdir bin nocheck
printf '#!/bin/sh\nexec /bin/cat >/dev/null\n' >bin/ffmpeg && chmod +x bin/ffmpeg
ln -s "$(command -v ffprobe)" bin/ffprobe
ln -s "$(command -v ffmpeg)" nocheck/ffmpeg
for fake in bin nocheck; do
  PATH="$PWD/$fake" "$VEXA_CAPTURE" --fps 1 --size 16x16 --out "$fake.mp4" 2>"$fake.err"; st=$?
  check "ffmpeg ($fake) without the frames: status 1 ($st)" '[ $st -eq 1 ] && [ ! -e "$fake.mp4" ]'
  check "ffmpeg ($fake) without the frames: says so" 'grep -q "^vexa-capture: .*$fake.mp4: " "$fake.err" || grep -q "ffprobe" "$fake.err"'
done

# Frames larger than ffmpeg's pipe, read slowly while the next ones are
# drawn: every frame arrives as the frame directory has it.
mkdir slow
cat >slow/ffmpeg <<'EOF'
#!/bin/sh
exec python3 -c 'import sys, time
with open("sent.rgba", "wb") as out:
    while chunk := sys.stdin.buffer.read1(65536):
        out.write(chunk)
        time.sleep(0.002)'
EOF
chmod +x slow/ffmpeg && ln -s "$(command -v ffprobe)" slow/ffprobe
large=(--fps 2 --to 4000 --size 640x480 --seed 3)
PATH="$PWD/slow:$PATH" cap "${large[@]}" --out sent.mp4 2>/dev/null
cap "${large[@]}" --out drawn/
rgb() { ffmpeg -v error "$@" -f rawvideo -pix_fmt rgb24 - | md5sum; }
check "frames larger than the pipe, read slowly: each as drawn" \
  '[ "$(rgb -f rawvideo -pix_fmt rgba -s 640x480 -i sent.rgba -vf vflip)" = "$(rgb -i drawn/frame-%05d.png)" ]'

# A directory holding frames already is refused, untouched, unless
# --force, which replaces the whole set; other files stay.
cap --fps 2 --size 16x16 --out seq/ && echo keep >seq/notes.txt
cap --fps 1 --size 16x16 --out seq 2>seq.err; st=$?
check "a directory with frames: status 1, naming it" '[ $st -eq 1 ] && grep -q "^vexa-capture: seq: " seq.err'
check "a directory with frames: left as it was" '[ "$(ls seq | grep -c "^frame-")" -eq 32 ]'
cap --fps 1 --size 16x16 --force --out seq; st=$?
check "--force replaces the set" '[ $st -eq 0 ] && [ "$(ls seq | grep -c "^frame-")" -eq 16 ] && [ -f seq/notes.txt ]'
# A swap that fails half-way (a shim fails the rename of the fourth new
# frame into place) puts the old frames back, and leaves nothing else.
before=$(cat seq/frame-*.png | md5sum)
LD_PRELOAD=$VEXA_RENAME_FAULT VEXA_FAIL_RENAME=frame-00003.png ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
  cap --fps 1 --size 24x24 --force --out seq 2>swap.err; st=$?
check "a swap failing half-way: status 1, saying so ($(tail -n 1 swap.err))" \
  '[ $st -eq 1 ] && grep -q "^vexa-capture: seq: cannot put the frames in place" swap.err'
check "a swap failing half-way: the old frames back, nothing beside them" \
  '[ "$(cat seq/frame-*.png | md5sum)" = "$before" ] && [ "$(ls -A seq | grep -vc "^frame-0000[0-9].png$\|^frame-0001[0-5].png$\|^notes.txt$")" = 0 ]'
mkdir other && echo x >other/cover.png
cap --fps 1 --size 16x16 --out other; st=$?
check "a directory without frames takes them" '[ $st -eq 0 ] && [ "$(ls other | wc -l)" -eq 17 ]'

# Modes follow the umask; a name of 250 characters works.
for mask in 027 002; do
  mode=$(printf '%o' $((0666 & ~0$mask)))
  mkdir "m$mask"
  (umask $mask && cd "m$mask" && ln -s ../tex tex &&
    cap --time 5 --size 16x16 --out f.png && cap --sheet --size 64x48 --out s.png &&
    cap --fps 1 --size 16x16 --out f && cap --fps 1 --size 16x16 --out v.mp4)
  check "umask $mask: files come out $mode" \
    '[ "$(stat -c %a "m$mask"/f.png "m$mask"/s.png "m$mask"/f/frame-00003.png "m$mask"/v.mp4 | sort -u)" = $mode ]'
done
long=$(printf 'n%.0s' $(seq 246))
cap --time 5 --size 16x16 --out "$long.png" && cap --fps 1 --size 16x16 --out "$long.mp4"; st=$?
check "250-character names: status 0" '[ $st -eq 0 ] && [ -s "$long.png" ] && [ "$(frames_in "$long.mp4")" = 16 ]'
echo old >replace.png && cap --time 5 --size 16x16 --out replace.png; st=$?
check "an existing file is replaced" '[ $st -eq 0 ] && [ "$(head -c 4 replace.png | tail -c 3)" = PNG ]'

report
