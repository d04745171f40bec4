#!/usr/bin/env bash
# soak_test.sh - the real program under a few thousand random keys while it
# plays: Space, the four arrows, and keys it does not handle (letters, digits,
# upper case, function and editing keys), never q or Esc until the end. Then
# q or Esc, or the show ends by itself first (stepping forward while paused
# can pass its end; that is a clean end too). It must exit with status 0, never
# crash and never hang, and report only well-formed key lines.
#
# The key sequence comes from a seed, printed at the start; replay a failure
# with VEXA_SOAK_SEED=<seed>. VEXA_SOAK_KEYS sets the number of keys (2500).
# Needs DISPLAY, xdotool, VEXA_BIN and VEXA_BUILD (where tex/ is).
set -uo pipefail

seed=${VEXA_SOAK_SEED:-$(( $(date +%s%N) % 1000000007 ))}
keys=${VEXA_SOAK_KEYS:-2500}
batch=50
echo "soak: seed $seed, $keys keys (replay with VEXA_SOAK_SEED=$seed)"
RANDOM=$seed

. "$(dirname "${BASH_SOURCE[0]}")/program_lib.sh"
program_workdir "vexa-soak-$$"
link_tex

fail() {
  echo "FAIL (seed $seed): $*"
  sed 's/^/    stderr: /' err.txt | head -n 40
  echo "0 passed, 1 failed"
  exit 1
}

# Weighted key pool: arrows back a little more often than forward, so the
# show keeps running for most of the sequence (show time also advances by
# itself while not paused) and keeps hitting the stop at zero.
pool=(space space space
      Left Left Left Left Right Right Right
      Up Up Up Up Down Down Down
      a b z x 1 0 Q A Z minus comma slash
      F1 F2 F5 F9 F12 Home End Page_Up Page_Down Insert Delete BackSpace Tab Return
      Shift_L Control_L Alt_L)

start_program || fail "no window appeared"

sent=0
ended_by_itself=0
start=$SECONDS
while [ "$sent" -lt "$keys" ]; do
  seq_keys=()
  for _ in $(seq $batch); do
    seq_keys+=("${pool[RANDOM % ${#pool[@]}]}")
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    ended_by_itself=1
    break
  fi
  timeout 30 xdotool key --delay 4 "${seq_keys[@]}" || fail "xdotool did not finish a batch"
  sent=$((sent + batch))
  [ $((SECONDS - start)) -lt 90 ] || fail "sending $keys keys took over 90 s"
done

if [ "$ended_by_itself" -eq 0 ]; then
  # The program must still answer: the keys sent are handled, then it quits.
  kill -0 "$pid" 2>/dev/null || ended_by_itself=1
fi
if [ "$ended_by_itself" -eq 0 ]; then
  if [ $((RANDOM % 2)) -eq 0 ]; then last=q; else last=Escape; fi
  xdotool key "$last"
  wait_end 20
  [ "$status" -ne 124 ] || fail "no exit within 20 s of $last after $sent keys: hung"
  how="quit with $last after $sent keys"
else
  wait_end 5
  how="the show ended by itself after $sent keys"
fi

[ "$status" -eq 0 ] || fail "$how: exit status $status"
! grep -q "Sanitizer" err.txt || fail "$how: sanitizer report"
[ ! -s err.txt ] || fail "$how: unexpected standard error"
bad=$(grep -a -v -c -E '^(key: .\([0-9]+\)|special: [0-9]+)$' out.txt)
[ "$bad" -eq 0 ] || fail "$how: $bad malformed lines on standard output"
reports=$(wc -l <out.txt)
# A third of the pool is keys it reports: a show that never took a key did not play.
[ "$reports" -gt 0 ] || fail "$how: no key reported, so the show never played"
echo "soak: $how, $reports key reports, $((SECONDS - start)) s"
echo "1 passed, 0 failed"
