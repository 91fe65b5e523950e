#!/usr/bin/python3
"""Throughput of kavirel-corpus on a Dask LocalCluster.

Writes a corpus of tone-and-buzz files, then times the analysis of all of them
on a local cluster of 1 and of 2 worker processes (the start of the cluster
timed apart), and the per-task overhead on files of 1 s: the time a file takes
through Dask less the time the same analysis takes called directly.

    PYTHONPATH=build/python /usr/bin/python3 bench/corpus_throughput.py \
        [--files 200] [--seconds 30] [--short-files 200] [--folder DIR]
"""

import argparse
import math
import os
import shutil
import tempfile
import time
import wave

import numpy as np

from kavirel import corpus

RATE = 44100


def write_file(path, index, seconds):
    t = np.arange(int(seconds * RATE)) / RATE
    f0 = 100.0 + 3.0 * (index % 50)
    buzz = sum(np.sin(2 * math.pi * k * f0 * t) / k for k in range(1, 6))
    values = np.round(0.3 * 32767 * buzz / np.max(np.abs(buzz))).astype("<i2")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(values.tobytes())


def write_corpus(folder, count, seconds):
    os.makedirs(folder, exist_ok=True)
    paths = []
    for i in range(count):
        path = os.path.join(folder, f"f{i:04d}.wav")
        if not os.path.exists(path):
            write_file(path, i, seconds)
        paths.append(path)
    return paths


def timed_run(paths, workers):
    """Seconds to start the cluster, seconds to analyse paths on it, and the table."""
    from dask.distributed import Client, LocalCluster

    began = time.perf_counter()
    cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                           dashboard_address=None)
    client = Client(cluster)
    # Every worker has imported the module before the clock starts.
    client.run(lambda: __import__("kavirel"))
    started = time.perf_counter()
    rows = corpus.run(paths, client)
    finished = time.perf_counter()
    client.close()
    cluster.close()
    return started - began, finished - started, rows


def direct(paths):
    """Seconds to analyse paths one after the other in this process."""
    began = time.perf_counter()
    for i, path in enumerate(paths):
        corpus.analyse_file(i, path)
    return time.perf_counter() - began


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--short-files", type=int, default=200)
    parser.add_argument("--folder", help="keep the corpus here (default: a temporary folder)")
    args = parser.parse_args()
    folder = args.folder or tempfile.mkdtemp(prefix="kavirel-bench-")
    try:
        long_paths = write_corpus(os.path.join(folder, "long"), args.files, args.seconds)
        short_paths = write_corpus(os.path.join(folder, "short"), args.short_files, 1.0)
        audio_hours = args.files * args.seconds / 3600

        start1, run1, rows1 = timed_run(long_paths, 1)
        start2, run2, rows2 = timed_run(long_paths, 2)
        assert rows1 == rows2, "the tables of 1 and 2 workers differ"
        print(f"{args.files} files of {args.seconds:g} s ({audio_hours:.2f} h of sound):")
        print(f"  1 worker : {run1:7.2f} s, {args.files / run1:6.2f} files/s "
              f"(cluster start {start1:.2f} s)")
        print(f"  2 workers: {run2:7.2f} s, {args.files / run2:6.2f} files/s "
              f"(cluster start {start2:.2f} s)")
        print(f"  speed-up 2 / 1 workers: {run1 / run2:.2f}")
        per_file = run2 / args.files
        print(f"  per file on 2 workers: {1000 * per_file:.1f} ms; "
              f"{audio_hours * 3600 / run2:.0f} s of sound per second of this machine")

        direct_short = direct(short_paths)
        _, run_short, _ = timed_run(short_paths, 1)
        n = args.short_files
        print(f"{n} files of 1 s on 1 worker: {1000 * run_short / n:.2f} ms a file through Dask, "
              f"{1000 * direct_short / n:.2f} ms called directly: "
              f"overhead {1000 * (run_short - direct_short) / n:.2f} ms a task")
        print(f"load average while measuring: {os.getloadavg()[0]:.2f}")
    finally:
        if not args.folder:
            shutil.rmtree(folder)


if __name__ == "__main__":
    main()
