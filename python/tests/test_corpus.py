"""kavirel-corpus on a generated corpus whose truth is known: tones of known
frequency and amplitude, buzzes of known pitch, silence, a file cut short, a
file too short for a transform and one of no known format."""

import csv
import os
import subprocess
import sys

import numpy as np
import pytest

import kavirel
from kavirel import corpus
import soundfiles

RATE = 16000


def _peak_and_rms_dbfs(samples):
    """From the 16-bit values as written."""
    values = np.clip(np.round(np.asarray(samples) * 32767.0), -32768, 32767)
    peak = np.max(np.abs(values))
    if peak == 0:
        return -np.inf, -np.inf
    return 20 * np.log10(peak / 32768), 10 * np.log10(np.mean(values ** 2) / 32768 ** 2)


@pytest.fixture(scope="module")
def generated(tmp_path_factory):
    """40 files in a folder, and the truth of each by name."""
    folder = tmp_path_factory.mktemp("corpus")
    truth = {}
    rng = np.random.default_rng(11)
    for i in range(30):
        frequency = float(rng.uniform(100.0, 580.0))
        amplitude = float(rng.uniform(0.05, 0.9))
        samples = soundfiles.tone(frequency, amplitude, 1.0, RATE)
        name = f"tone{i:02d}.wav"
        soundfiles.write_wav(folder / name, samples, RATE)
        truth[name] = dict(kind="tone", f=frequency, frames=RATE,
                           levels=_peak_and_rms_dbfs(samples))
    for i, f0 in enumerate([90.0, 120.0, 170.0, 230.0, 310.0]):
        name = f"voice{i}.wav"
        soundfiles.write_voice(folder / name, f0, 1.5, rate=RATE)
        truth[name] = dict(kind="voice", f0=f0, frames=int(1.5 * RATE))
    left = soundfiles.tone(250.0, 0.6, 1.0, RATE)
    right = soundfiles.tone(500.0, 0.9, 1.0, RATE)
    soundfiles.write_wav(folder / "stereo.wav", [v for p in zip(left, right) for v in p], RATE,
                         channels=2)
    truth["stereo.wav"] = dict(kind="tone", f=250.0, frames=RATE, channels=2,
                               levels=_peak_and_rms_dbfs(np.concatenate([left, right])))
    soundfiles.write_wav(folder / "silent.wav", np.zeros(RATE), RATE)
    truth["silent.wav"] = dict(kind="silent", frames=RATE)
    soundfiles.write_tone(folder / "truncated.wav", 440.0, 0.5, 1.0, rate=RATE)
    soundfiles.truncate(folder / "truncated.wav", 44 + 2 * 12000)
    truth["truncated.wav"] = dict(kind="tone", f=440.0, frames=12000)
    soundfiles.write_tone(folder / "short.wav", 440.0, 0.5, 0.02, rate=RATE)
    truth["short.wav"] = dict(kind="short", frames=320)
    soundfiles.write_unknown(folder / "unknown.wav")
    truth["unknown.wav"] = dict(kind="unknown")
    assert len(truth) == 40
    return folder, truth


def read_table(path):
    comma = str(path).endswith(".csv")
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="," if comma else "\t"))


def check_against_truth(rows, folder, truth):
    assert [r["path"] for r in rows] == [str(folder / n) for n in sorted(truth)]
    for row in rows:
        name = os.path.basename(row["path"])
        t = truth[name]
        if t["kind"] == "unknown":
            assert row["error"].startswith(f"{folder / name} has no header that Kavirel knows")
            assert all(row[c] == "" for c in corpus.COLUMNS if c not in ("path", "error"))
            continue
        assert (row["format"], row["rate"], row["frames"]) == ("WAVE", str(RATE), str(t["frames"]))
        assert row["channels"] == str(t.get("channels", 1))
        assert float(row["seconds"]) == pytest.approx(t["frames"] / RATE, abs=1e-6)
        if t["kind"] == "silent":
            assert (row["peak_dbfs"], row["rms_dbfs"], row["spectrum_peak_hz"]) == ("-inf",) * 2 + ("",)
            assert (row["f0_median_hz"], row["voiced_fraction"], row["error"]) == ("0.000", "0.0000", "")
        elif t["kind"] == "short":
            assert row["error"] == "FFT-Length exceeds the File-Length"
            assert (row["spectrum_peak_hz"], row["f0_median_hz"]) == ("", "0.000")
            assert float(row["peak_dbfs"]) == pytest.approx(20 * np.log10(0.5), abs=0.01)
        elif t["kind"] == "voice":
            assert row["error"] == ""
            # The buzz's strongest harmonic is its fundamental.
            assert float(row["spectrum_peak_hz"]) == pytest.approx(t["f0"], rel=0.01)
            assert float(row["f0_median_hz"]) == pytest.approx(t["f0"], rel=0.005)
            assert float(row["voiced_fraction"]) > 0.9
        else:
            assert row["error"] == ""
            assert float(row["spectrum_peak_hz"]) == pytest.approx(t["f"], abs=0.5)
            # The note of the peak before it was rounded to millihertz.
            hz = float(row["spectrum_peak_hz"])
            assert row["spectrum_peak_note"] in {kavirel.note(hz + d) for d in (-5e-4, 0, 5e-4)}
            assert float(row["f0_median_hz"]) == pytest.approx(t["f"], rel=0.005)
            assert float(row["voiced_fraction"]) > 0.9
            if "levels" in t:
                assert float(row["peak_dbfs"]) == pytest.approx(t["levels"][0], abs=0.001)
                assert float(row["rms_dbfs"]) == pytest.approx(t["levels"][1], abs=0.002)


def test_the_table_on_two_local_workers_is_the_truth(generated, tmp_path):
    folder, truth = generated
    table = tmp_path / "table.tsv"
    arrays = tmp_path / "arrays"
    assert corpus.main([str(folder), "--out", str(table), "--workers", "2",
                        "--arrays", str(arrays)]) == 0
    rows = read_table(table)
    check_against_truth(rows, folder, truth)
    # One .npz a file that opened, holding what the module computes.
    names = sorted(truth)
    stored = sorted(os.listdir(arrays))
    assert stored == [f"{i:06d}_{n}.npz" for i, n in enumerate(names) if n != "unknown.wav"]
    with np.load(arrays / f"{names.index('voice2.wav'):06d}_voice2.wav.npz") as npz:
        sound = kavirel.open(folder / "voice2.wav")
        spectrum = sound.spectrum(0, sound.frames, average="power")
        np.testing.assert_array_equal(npz["spectrum"], spectrum.levels)
        np.testing.assert_array_equal(npz["frequencies"], spectrum.frequencies)
        np.testing.assert_array_equal(npz["pitch_f0"], sound.pitch().f0)

    one = tmp_path / "one.tsv"
    assert corpus.main([str(folder), "--out", str(one), "--workers", "1"]) == 0
    assert one.read_bytes() == table.read_bytes()


def test_the_installed_command_writes_csv_and_shows_progress_only_when_asked(generated,
                                                                             tmp_path):
    folder, truth = generated
    files = [str(folder / n) for n in ("voice0.wav", "silent.wav", "unknown.wav")]
    env = dict(os.environ)
    quiet = subprocess.run([sys.executable, "-m", "kavirel.corpus", *files, "--out",
                            str(tmp_path / "t.csv"), "--workers", "1"],
                           capture_output=True, text=True, env=env, timeout=120)
    assert quiet.returncode == 0, quiet.stderr
    assert "files/s" not in quiet.stderr
    rows = read_table(tmp_path / "t.csv")
    assert [r["path"] for r in rows] == files
    assert rows[2]["error"].startswith(files[2])
    shown = subprocess.run([sys.executable, "-m", "kavirel.corpus", *files, "--out",
                            str(tmp_path / "t.tsv"), "--workers", "1", "--progress"],
                           capture_output=True, text=True, env=env, timeout=120)
    assert shown.returncode == 0, shown.stderr
    assert "3/3 files" in shown.stderr and "files/s" in shown.stderr
    assert read_table(tmp_path / "t.tsv") == rows


@pytest.mark.parametrize("pattern,names", [
    (None, ["a.wav", "sub/c.aiff"]),
    ("*.txt", ["b.txt"]),
])
def test_folders_are_walked_in_name_order(tmp_path, pattern, names):
    (tmp_path / "sub").mkdir()
    for name in ("sub/c.aiff", "b.txt", "a.wav"):
        (tmp_path / name).write_bytes(b"")
    found = corpus.find_files([str(tmp_path)], pattern)
    assert found == [str(tmp_path / n) for n in names]
    assert corpus.find_files([str(tmp_path / "b.txt")], pattern) == [str(tmp_path / "b.txt")]
