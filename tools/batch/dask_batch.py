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

The scheduler (its file, its address) and the workers are waited for at
most --timeout seconds; then the driver says so in one line.

Exit status: 0 when every shard succeeded, 2 when the list or the command
line was refused (nothing was rendered), 1 otherwise (a scheduler not
found, a shard failed). Each shard's last line (its summary) is printed as
it ends, and a failed shard's messages.
"""
import argparse
import csv
import json
import os
import subprocess
import sys
import time

from distributed import Client, as_completed

# vexa-capture options that are the driver's to give, one per shard.
DRIVER_OPTIONS = ("batch", "shard", "results")


def driver_option(word):
    """The driver's own option a pass-through word names (getopt_long takes
    any unambiguous start of a long name), or None."""
    if not word.startswith("--") or word == "--":
        return None
    name = word[2:].split("=", 1)[0]
    return next((o for o in DRIVER_OPTIONS if name and o.startswith(name)), None)


def count_rows(path):
    """The list's rows as vexa-capture counts them, or None when it cannot be
    read here (vexa-capture then says why)."""
    try:
        with open(path, newline="", encoding="utf-8-sig") as f:
            if path.lower().endswith(".jsonl"):
                return sum(1 for line in f if line.strip(" \t\r\n"))
            return max(sum(1 for _ in csv.reader(f)) - 1, 0)
    except (OSError, UnicodeDecodeError, csv.Error):
        return None


def scheduler_address(path, timeout):
    """The address in the scheduler's file, waited for up to timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            with open(path) as f:
                return json.load(f)["address"]
        except (OSError, ValueError, KeyError, TypeError) as e:
            if time.monotonic() >= deadline:
                why = "not there" if isinstance(e, FileNotFoundError) else "no scheduler's address in it"
                raise TimeoutError(f"{path}: {why} after {timeout:g} s (is `dask scheduler` running?)")
            time.sleep(0.1)


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
    parser.add_argument("--timeout", type=float, default=60,
                        help="seconds to wait for the scheduler and the workers (default 60)")
    parser.add_argument("--capture", default="vexa-capture", help="the program as the workers find it")
    parser.add_argument("list", help="the list (.csv or .jsonl), seen by every worker under this path")
    parser.add_argument("options", nargs=argparse.REMAINDER, help="vexa-capture options for every row")
    args = parser.parse_args()
    for word in args.options:
        if driver_option(word):
            parser.error(f"{word}: --{driver_option(word)} is the driver's to give, not an option for every run")
    rows = count_rows(args.list)
    most = max(rows, 1) if rows is not None else 1000000
    if not 1 <= args.shards <= most:
        parser.error(f"--shards wants a number from 1 to {most}" + (" (the list's rows)" if rows is not None else ""))
    if not args.timeout > 0:
        parser.error("--timeout wants a number of seconds above 0")

    list_path = os.path.abspath(args.list)
    capture = os.path.abspath(args.capture) if os.sep in args.capture else args.capture
    try:
        address = args.scheduler or scheduler_address(args.scheduler_file, args.timeout)
        client = Client(address, timeout=args.timeout)
        if args.workers > 0:
            client.wait_for_workers(args.workers, timeout=args.timeout)
    except (OSError, TimeoutError) as e:
        print(f"dask_batch: cannot reach the scheduler: {e}", file=sys.stderr)
        return 1
    with client:
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
