#!/usr/bin/env bash
# capture_batch_engine_test.sh - a list rendered through Dask: a scheduler
# on 127.0.0.1 (a free port, a scheduler file) and two workers started here
# and stopped by their PIDs; tools/batch/dask_batch.py submits two shards.
# First the driver's refusals, which need no cluster: one line each.
# Needs VEXA_CAPTURE, VEXA_BUILD, VEXA_SOURCE, Dask (python3-distributed),
# ffmpeg and ffprobe.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

# The driver's command line: refused (status 2) or given up (status 1) in
# one line, never waiting without end nor ending in a traceback.
printf 'out\na.mp4\nb.mp4\n' >two.csv
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
while IFS='|' read -r what args status says; do
  # shellcheck disable=SC2086
  timeout 60 /usr/bin/python3 "$VEXA_SOURCE/tools/batch/dask_batch.py" $args 2>err; st=$?
  check "driver: $what: status $status ($st), saying so ($(tail -c 300 err))" \
    '[ $st -eq $status ] && grep -q -- "$says" err && ! grep -q Traceback err'
done <<TABLE
--shard among the runs' options|--scheduler-file none.json --shards 2 two.csv --shard 0/2|2|--shard is the driver's to give
--results among them, abbreviated|--scheduler-file none.json --shards 2 two.csv --res=r.jsonl|2|--results is the driver's to give
more shards than rows|--scheduler-file none.json --shards 3 two.csv|2|--shards wants a number from 1 to 2
no shards|--scheduler-file none.json --shards 0 two.csv|2|--shards wants a number from 1 to 2
a scheduler file never written|--scheduler-file none.json --timeout 1 --shards 2 two.csv|1|none.json: not there after 1 s
a scheduler not listening|--scheduler tcp://127.0.0.1:$port --timeout 2 --shards 2 two.csv|1|cannot reach the scheduler
TABLE

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
