#!/usr/bin/python3
"""dask_batch.py - a vexa-capture batch spread over a Dask cluster.

The list is cut into N shards; each is one task, `vexa-capture --batch LIST
--shard K/N [options]`, run by whichever worker is free. Every machine must
see the list and its files under the same path (a shared file system); each
shard writes its outputs beside the list and its own results file,
LIST.results.K-of-N.jsonl. Run a worker per machine with --nthreads 1: a
shard already renders --jobs rows at once (default: the machine's cores).

    dask scheduler --scheduler-file sched.json &
    dask worker --scheduler-file sched.json --nthreads 1 &     # on each machine
    tools/batch/dask_batch.py --scheduler-file sched.json --shards 8 \\
        /shared/people.csv --size 1280x720

A shard whose rows did not all succeed can be run again (--retries R): its
finished rows are skipped, so only the failed ones are redone.

Exit status: 0 when every shard succeeded, 2 when the list was refused
(fix the list: nothing was rendered), 1 otherwise. Each shard's last line
(its summary) is printed as it ends, and a failed shard's messages.
"""
import argparse
import os
import subprocess
import sys

from distributed import Client, as_completed


def run_shard(capture, list_path, k, n, options, retry):
    """One shard on a worker: (k, status, standard error). With retry, a
    status 1 raises, so that Dask runs the task again."""
    done = subprocess.run([capture, "--batch", list_path, "--shard", f"{k}/{n}", *options],
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          text=True, errors="replace")
    if retry and done.returncode not in (0, 2):
        raise RuntimeError(f"shard {k}/{n}: status {done.returncode}\n{done.stderr}")
    return k, done.returncode, done.stderr


def main():
    parser = argparse.ArgumentParser(
        prog="dask_batch.py", description="Render a vexa-capture list as N shards on a Dask cluster.",
        epilog="Options after LIST go to every vexa-capture run (give paths in them as absolute paths).")
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--scheduler-file", help="the file `dask scheduler --scheduler-file` wrote")
    where.add_argument("--scheduler", help="the scheduler's address, tcp://HOST:PORT")
    parser.add_argument("--shards", type=int, required=True, help="how many tasks the list is cut into")
    parser.add_argument("--retries", type=int, default=0, help="runs again of a shard whose rows did not all succeed")
    parser.add_argument("--workers", type=int, default=0, help="wait for this many workers first")
    parser.add_argument("--capture", default="vexa-capture", help="the program as the workers find it")
    parser.add_argument("list", help="the list (.csv or .jsonl), seen by every worker under this path")
    parser.add_argument("options", nargs=argparse.REMAINDER, help="vexa-capture options for every row")
    args = parser.parse_args()
    if args.shards < 1:
        parser.error("--shards wants a number from 1 up")

    list_path = os.path.abspath(args.list)
    capture = os.path.abspath(args.capture) if os.sep in args.capture else args.capture
    with Client(args.scheduler or None, scheduler_file=args.scheduler_file) as client:
        if args.workers > 0:
            client.wait_for_workers(args.workers, timeout=120)
        futures = [client.submit(run_shard, capture, list_path, k, args.shards, args.options, args.retries > 0,
                                 key=f"vexa-shard-{k}-of-{args.shards}", pure=False, retries=args.retries)
                   for k in range(args.shards)]
        worst = 0
        for future in as_completed(futures):
            if future.status == "error":
                print(f"dask_batch: {future.exception()}".rstrip(), file=sys.stderr)
                worst = max(worst, 1)
                continue
            k, status, err = future.result()
            lines = err.rstrip("\n").split("\n")
            for line in lines[:-1]:  # the failures' messages, not the progress
                if not line.startswith("vexa-capture: ["):
                    print(line, file=sys.stderr)
            print(f"dask_batch: shard {k}/{args.shards}: status {status}: {lines[-1]}", file=sys.stderr)
            worst = 2 if status == 2 else max(worst, 0 if status == 0 else 1)
    return worst


if __name__ == "__main__":
    sys.exit(main())
