#!/usr/bin/env bash
# capture_batch_engine_test.sh - a list rendered through Dask: a scheduler
# on 127.0.0.1 (a free port, a scheduler file) and two workers started here
# and stopped by their PIDs; tools/batch/dask_batch.py submits two shards.
# Needs VEXA_CAPTURE, VEXA_BUILD, VEXA_SOURCE, Dask (python3-distributed),
# ffmpeg and ffprobe.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait "${pids[@]}" 2>/dev/null; cd /; rm -rf "$work"' EXIT
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
dask scheduler --host 127.0.0.1 --port "$port" --no-dashboard --scheduler-file sched.json >sched.log 2>&1 &
pids+=($!)
for _ in $(seq 300); do [ -s sched.json ] && break; sleep 0.1; done
for w in 1 2; do
  dask worker --scheduler-file sched.json --nthreads 1 --no-nanny --no-dashboard --local-directory "w$w" \
    >"w$w.log" 2>&1 &
  pids+=($!)
done

# Four rows, the last with a photo that is not there: two shards of two.
mkdir list
printf 'out,photo-image\nv0.mp4,\nv1.mp4,\nv2.mp4,\nv3.mp4,gone.jpg\n' >list/l.csv
/usr/bin/python3 "$VEXA_SOURCE/tools/batch/dask_batch.py" --scheduler-file sched.json --workers 2 --shards 2 \
  --capture "$VEXA_CAPTURE" list/l.csv --size 64x48 --to 500 --fps 10 2>err; st=$?
frames_in() {
  ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "file:$1" 2>/dev/null
}
check "through Dask: status 1 for the bad row ($st), naming it" '[ $st -eq 1 ] && grep -q "row 3 (v3.mp4): .*gone.jpg" err'
check "through Dask: the three good rows, whole" \
  '[ "$(for v in 0 1 2; do frames_in list/v$v.mp4; done | xargs)" = "5 5 5" ] && [ ! -e list/v3.mp4 ]'
check "through Dask: a results file per shard, each its rows" \
  'grep -q "\"row\":0,.*\"done\"" list/l.csv.results.0-of-2.jsonl && grep -q "\"row\":2,.*\"done\"" list/l.csv.results.0-of-2.jsonl &&
   grep -q "\"row\":1,.*\"done\"" list/l.csv.results.1-of-2.jsonl && grep -q "\"row\":3,.*\"failed\"" list/l.csv.results.1-of-2.jsonl'
report
