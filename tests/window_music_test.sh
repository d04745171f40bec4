#!/usr/bin/env bash
# window_music_test.sh - the window program (VEXA_BIN) playing a show whose
# music has no sound device to play on: exactly one warning line, naming
# the missing device (none of the sound library's own), and the show on its
# clock to its end, which the music sets ("closing_ms": "music": 16 s of
# music, no leader, against 7 s by default). ALSA is asked for a card that
# is not there, so that no machine's own sound device plays it.
set -uo pipefail
unset DISPLAY VEXA_PHOTO VEXA_SHOW_FPS
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/check_lib.sh"
. "$here/../script/lib/xvfb.sh"
need_display || exit 1
work=$(mktemp -d)
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1

ffmpeg -v error -f lavfi -i sine=frequency=440:duration=16 -ac 2 tone.wav
printf '{"vexa": 1, "timing": {"leader": false, "closing_ms": "music"}, "sound": {"music": "tone.wav"}}' >s.vexa.json
start=$(date +%s%N)
SDL_AUDIODRIVER=alsa AUDIODEV=hw:99 timeout 60 "$VEXA_BIN" --show s.vexa.json --window 2>err.txt
status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
check "the show ends by itself, status 0 (got $status)" '[ "$status" -eq 0 ]'
check "one line, naming the missing device: $(head -c 300 err.txt)" \
  '[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "^vexa: no sound device (ALSA: .*): the show plays without its music$" err.txt'
check "the show lasts its music, 16 s after the settling second (ended after $elapsed_ms ms)" \
  '[ "$elapsed_ms" -ge 17000 ]'
report
