"""kavirel-corpus: Kavirel's measurements of every file of a corpus, one task a
file on a Dask cluster, into one table.

The rows come in the order of the input, whatever the order in which the
workers finish; they are collected by their index and written once at the
end, so a worker lost on the way (Dask runs its tasks again elsewhere)
neither loses nor repeats a row. A file that cannot be analysed is a row
with the program's message in the column error.
"""

import argparse
import csv
import fnmatch
import math
import os
import sys
import tempfile
import time as clock

import numpy as np

import kavirel

COLUMNS = [
    "path",
    "format",
    "rate",
    "channels",
    "frames",
    "seconds",
    "peak_dbfs",
    "rms_dbfs",
    "spectrum_peak_hz",
    "spectrum_peak_note",
    "f0_median_hz",
    "voiced_fraction",
    "error",
]

# The pitch tracker's default floor: its frames last 3 / floor seconds.
_PITCH_FLOOR_HZ = 75.0


def _number(value, decimals):
    """A fixed text for a number, the same on every machine; minus infinity
    (digital silence in dB) as -inf."""
    if value is None:
        return ""
    if math.isinf(value):
        return "-inf" if value < 0 else "inf"
    return f"{value:.{decimals}f}"


def _publish(temporary, target):
    """Gives a file written under a temporary name the permissions of a new
    file and its final name."""
    mask = os.umask(0)
    os.umask(mask)
    os.chmod(temporary, 0o666 & ~mask)
    os.replace(temporary, target)


def _arrays_name(index, path):
    return f"{index:06d}_{os.path.basename(path)}.npz"


def _write_arrays(folder, index, path, arrays):
    """One .npz a file, written under a temporary name and renamed, so that a
    task run twice (after a worker was lost) leaves one whole file."""
    target = os.path.join(folder, _arrays_name(index, path))
    handle, temporary = tempfile.mkstemp(prefix=".kavirel-", suffix=".npz", dir=folder)
    try:
        with os.fdopen(handle, "wb") as out:
            np.savez(out, **arrays)
        _publish(temporary, target)
    except BaseException:
        os.unlink(temporary)
        raise


def analyse_file(index, path, arrays_folder=None):
    """The row of one file, as a dict of texts by column, with its index."""
    # The cluster runs a task on each core: one thread a task.
    kavirel.set_threads(1)
    row = dict.fromkeys(COLUMNS, "")
    row["path"] = path
    problems = []
    try:
        sound = kavirel.open(path)
    except (kavirel.Error, ValueError) as error:
        row["error"] = str(error)
        return index, row
    row["format"] = sound.format
    row["rate"] = str(sound.rate)
    row["channels"] = str(sound.channels)
    row["frames"] = str(sound.frames)
    row["seconds"] = _number(sound.seconds, 6)
    arrays = {}
    try:
        levels = sound.levels()
        row["peak_dbfs"] = _number(levels.peak_dbfs, 3)
        row["rms_dbfs"] = _number(levels.rms_dbfs, 3)
    except kavirel.Error as error:
        problems.append(str(error))
    try:
        # The whole of channel 0, the dB of the mean power of its frames.
        peak = sound.highest_peak(0, sound.frames, 0, average="power")
        if arrays_folder:
            spectrum = sound.spectrum(0, sound.frames, 0, average="power")
            arrays["frequencies"] = spectrum.frequencies
            arrays["spectrum"] = spectrum.levels
        if peak is not None:
            row["spectrum_peak_hz"] = _number(peak.frequency, 3)
            try:
                row["spectrum_peak_note"] = kavirel.note(peak.frequency)
            except ValueError:
                pass  # below the lowest octave with note names
    except kavirel.Error as error:
        problems.append(str(error))
    f0_median, voiced_fraction = 0.0, 0.0
    # A file shorter than one analysis frame has no pitch, as silence has none.
    if sound.seconds >= 3.0 / _PITCH_FLOOR_HZ:
        try:
            contour = sound.pitch()
            arrays["pitch_times"] = contour.times
            arrays["pitch_f0"] = contour.f0
            voiced = contour.f0[contour.f0 > 0]
            if voiced.size:
                f0_median = float(np.median(voiced))
                voiced_fraction = voiced.size / contour.f0.size
        except kavirel.Error as error:
            problems.append(str(error))
    row["f0_median_hz"] = _number(f0_median, 3)
    row["voiced_fraction"] = _number(voiced_fraction, 4)
    row["error"] = "; ".join(problems)
    if arrays_folder:
        _write_arrays(arrays_folder, index, path, arrays)
    return index, row


def find_files(inputs, pattern=None):
    """The files named and those below the folders named, each folder walked
    in name order; in folders only the names that match pattern, by default
    those with the extension of a sound file Kavirel opens."""
    extensions = {"." + e for e in kavirel.sound_file_extensions()}

    def wanted(name):
        if pattern:
            return fnmatch.fnmatch(name, pattern)
        return os.path.splitext(name)[1].lower() in extensions

    files = []
    for item in inputs:
        if os.path.isdir(item):
            for folder, subfolders, names in os.walk(item):
                subfolders.sort()
                files.extend(os.path.join(folder, n) for n in sorted(names) if wanted(n))
        else:
            files.append(item)
    return files


def _tsv_field(text):
    # A TSV field holds no tab and no line break; a message of several lines
    # becomes one.
    return " ".join(text.replace("\t", " ").splitlines())


def write_table(path, rows):
    """TSV, or CSV for a name ending in .csv; written whole under a temporary
    name and renamed."""
    comma = path.lower().endswith(".csv")
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(prefix=".kavirel-", dir=folder)
    try:
        with os.fdopen(handle, "w", newline="", encoding="utf-8") as out:
            if comma:
                writer = csv.writer(out, lineterminator="\n")
                writer.writerow(COLUMNS)
                for row in rows:
                    writer.writerow([row[c] for c in COLUMNS])
            else:
                out.write("\t".join(COLUMNS) + "\n")
                for row in rows:
                    out.write("\t".join(_tsv_field(row[c]) for c in COLUMNS) + "\n")
        _publish(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


class Progress:
    """Files done, files per second and the time left, on one line of a
    terminal."""

    def __init__(self, total, out, shown):
        self.total = total
        self.out = out
        self.shown = shown
        self.started = clock.monotonic()
        self.last = 0.0

    def update(self, done, final=False):
        if not self.shown:
            return
        now = clock.monotonic()
        if not final and now - self.last < 0.2:
            return
        self.last = now
        elapsed = max(now - self.started, 1e-9)
        rate = done / elapsed
        left = (self.total - done) / rate if rate > 0 else float("inf")
        left_text = "?" if math.isinf(left) else f"{left:.0f} s"
        self.out.write(f"\r{done}/{self.total} files, {rate:.1f} files/s, {left_text} left   ")
        if final:
            self.out.write("\n")
        self.out.flush()


def _failed_row(index, path, message):
    row = dict.fromkeys(COLUMNS, "")
    row["path"] = path
    row["error"] = message
    return index, row


def run(files, client, arrays_folder=None, progress=None):
    """The rows of files, in their order, analysed on client's cluster."""
    from dask.distributed import as_completed

    futures = client.map(analyse_file, range(len(files)), files,
                         [arrays_folder] * len(files), pure=False)
    where = {future.key: i for i, future in enumerate(futures)}
    rows = [None] * len(files)
    done = 0
    for future in as_completed(futures):
        i = where[future.key]
        if rows[i] is None:
            try:
                index, row = future.result()
            except Exception as error:  # the task itself failed: a worker kept dying
                index, row = _failed_row(i, files[i], f"{type(error).__name__}: {error}")
            rows[index] = row
            done += 1
        if progress:
            progress.update(done)
    if progress:
        progress.update(done, final=True)
    return rows


def _parser():
    parser = argparse.ArgumentParser(
        prog="kavirel-corpus",
        description="Measures every sound file of a corpus with Kavirel's analyses, one "
        "Dask task a file, and writes one row a file, in the order of the input.")
    parser.add_argument("corpus", nargs="+", metavar="CORPUS",
                        help="sound files and folders (walked in name order)")
    parser.add_argument("--out", required=True, metavar="TABLE",
                        help="the table: TSV, or CSV when the name ends in .csv")
    parser.add_argument("--workers", type=int, metavar="N",
                        help="worker processes of the local cluster (default: the cores)")
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="run on an existing cluster, e.g. tcp://host:8786")
    parser.add_argument("--pattern", metavar="GLOB",
                        help="names of the files to take from folders (default: the "
                        "extensions of the sound files Kavirel opens)")
    parser.add_argument("--arrays", metavar="DIR",
                        help="write each file's averaged spectrum and pitch contour to a .npz")
    parser.add_argument("--progress", action="store_true",
                        help="show progress also when standard error is no terminal")
    return parser


def main(argv=None):
    args = _parser().parse_args(argv)
    if args.workers is not None and args.workers < 1:
        print("kavirel-corpus: --workers must be at least 1", file=sys.stderr)
        return 64
    if args.workers is not None and args.scheduler:
        print("kavirel-corpus: --workers and --scheduler exclude each other", file=sys.stderr)
        return 64
    files = find_files(args.corpus, args.pattern)
    if args.arrays:
        os.makedirs(args.arrays, exist_ok=True)
        arrays = os.path.abspath(args.arrays)
    else:
        arrays = None
    progress = Progress(len(files), sys.stderr, args.progress or sys.stderr.isatty())

    from dask.distributed import Client, LocalCluster

    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        workers = args.workers or os.cpu_count() or 1
        cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        rows = run([os.path.abspath(f) for f in files], client, arrays, progress)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    # The table names the files as they were given.
    for row, given in zip(rows, files):
        row["path"] = given
    write_table(args.out, rows)
    return 0


if __name__ == "__main__":
    sys.exit(main())
