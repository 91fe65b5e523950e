"""kavirel-corpus on an external cluster of Dask's own dask-scheduler and two
dask-worker processes on 127.0.0.1, one of them killed while the run is on:
the table is whole, each row once, the same bytes as without a cluster."""

import os
import signal
import socket
import subprocess
import sys
import time

import pytest

from kavirel import corpus
import soundfiles

FILES = 24


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            pytest.fail(f"timed out waiting for {what}")
        time.sleep(0.05)


@pytest.fixture
def cluster(tmp_path):
    """The scheduler's address and the two worker processes; everything
    started is stopped at the end."""
    port = free_port()
    address = f"tcp://127.0.0.1:{port}"
    log = open(tmp_path / "cluster.log", "w")
    started = [subprocess.Popen([sys.executable, "-m", "distributed.cli.dask_scheduler",
                                 "--host", "127.0.0.1", "--port", str(port),
                                 "--no-dashboard"], stdout=log, stderr=log)]
    for _ in range(2):
        started.append(subprocess.Popen(
            [sys.executable, "-m", "distributed.cli.dask_worker", address, "--nthreads", "1",
             "--no-nanny", "--no-dashboard", "--host", "127.0.0.1"], stdout=log, stderr=log))
    try:
        from dask.distributed import Client
        with Client(address, timeout=30) as client:
            wait_for(lambda: len(client.scheduler_info()["workers"]) == 2, 60, "two workers")
        yield address, started[1:]
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.terminate()
        for process in started:
            try:
                process.wait(20)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        log.close()


def written(arrays):
    """The .npz files finished so far (a killed worker may leave a temporary one)."""
    if not arrays.is_dir():
        return []
    return [n for n in os.listdir(arrays) if not n.startswith(".")]


def test_a_worker_lost_mid_run_loses_no_row(tmp_path, cluster):
    address, workers = cluster
    folder = tmp_path / "corpus"
    folder.mkdir()
    for i in range(FILES):
        soundfiles.write_voice(folder / f"v{i:02d}.wav", 90.0 + 10 * i, 12.0, rate=44100)
    soundfiles.write_unknown(folder / "v99.wav")
    files = corpus.find_files([str(folder)])
    assert len(files) == FILES + 1
    # The truth: each file analysed here, in order, without Dask.
    expected = tmp_path / "expected.tsv"
    corpus.write_table(str(expected), [corpus.analyse_file(i, f)[1] for i, f in enumerate(files)])

    arrays = tmp_path / "arrays"
    table = tmp_path / "table.tsv"
    run = subprocess.Popen([sys.executable, "-m", "kavirel.corpus", str(folder), "--out",
                            str(table), "--scheduler", address, "--arrays", str(arrays)],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    # The first results are in: the other tasks are queued or running.
    wait_for(lambda: len(written(arrays)) >= 3, 120, "first results")
    workers[0].send_signal(signal.SIGKILL)
    workers[0].wait()
    assert len(written(arrays)) < FILES
    out, err = run.communicate(timeout=240)
    assert run.returncode == 0, err
    assert len(written(arrays)) == FILES
    assert table.read_bytes() == expected.read_bytes()
