"""The module's numbers against kavirel-cli's for the same file and task, and
its answers to what it must refuse."""

import sys
import threading
import time

import numpy as np
import pytest

import kavirel
from conftest import STEREO_LEFT_HZ, STEREO_RIGHT_HZ


def columns(text):
    """The lines of a command's output that are no comment, as rows of texts."""
    return [line.split("\t") for line in text.splitlines() if line and not line.startswith("#")]


def texts(values, form="%.9g"):
    """Numbers written as the command line writes them."""
    return [form % float(v) for v in values]


SPECTRUM_CASES = [
    # file, channel, start, end, module parameters, command line options
    ("voice.wav", 0, "0.5s", None, {}, []),
    ("voice.wav", 0, 0, "2s", {}, ["--end", "2s"]),
    ("voice.wav", 0, "0.1s", "1.9s", {"average": "power", "level": "dbfs"},
     ["--end", "1.9s", "--average", "power", "--level", "dbfs"]),
    ("stereo.wav", 1, 100, 20000, {"lfft": 512, "window": 2, "shift": 300},
     ["--end", "20000", "--channel", "1", "--lfft", "512", "--window", "2", "--shift", "300"]),
    ("stereo.wav", 0, "0.2s", None, {"method": 1, "cepfreq": 300.0},
     ["--method", "1", "--cepfreq", "300"]),
    ("voice.wav", 0, 8000, None, {"linear": True, "lfft": 1024, "lwdw": 800},
     ["--linear", "--lfft", "1024", "--lwdw", "800"]),
]


@pytest.mark.parametrize("name,channel,start,end,params,options", SPECTRUM_CASES)
def test_spectrum_equals_the_command_line(sounds, cli, name, channel, start, end, params,
                                          options):
    path = sounds / name
    code, out, err = cli("spectrum", path, "--start", start, *options)
    assert code == 0, err
    rows = columns(out)
    spectrum = kavirel.open(path).spectrum(start, end, channel, **params)
    assert texts(spectrum.frequencies) == [r[1] for r in rows]
    assert texts(spectrum.levels) == [r[2] for r in rows]
    if params.get("method") == 1:
        assert texts(spectrum.smoothed) == [r[3] for r in rows]
    else:
        assert spectrum.smoothed is None and len(rows[0]) == 3


SONAGRAM_CASES = [
    ("voice.wav", 0, 0, "2s", {}, []),
    ("stereo.wav", 1, "0.1s", "1.2s", {"lfft": 256, "range": 50, "level": "dbfs"},
     ["--channel", "1", "--lfft", "256", "--range", "50", "--level", "dbfs"]),
    ("voice.wav", 0, 1000, 9000, {"fmax": 3000.0, "window": 1, "screen_width": 300},
     ["--fmax", "3000", "--window", "1", "--screen-width", "300"]),
]


@pytest.mark.parametrize("name,channel,start,end,params,options", SONAGRAM_CASES)
def test_sonagram_cells_equal_the_command_line(sounds, cli, name, channel, start, end, params,
                                               options):
    path = sounds / name
    code, out, err = cli("sonagram", path, "--start", start, "--end", end, "--cells", *options)
    assert code == 0, err
    lines = out.splitlines()
    head = dict(line.split("\t") for line in lines[:7])
    width, height = int(head["W"]), int(head["H"])
    curve = [line.split("\t")[1] for line in lines[7:7 + width]]
    cells = np.array([[int(v) for v in line.split()] for line in lines[7 + width:]])
    son = kavirel.open(path).sonagram(start, end, channel, **params)
    assert son.cells.shape == (height, width)
    np.testing.assert_array_equal(son.cells, cells)
    assert texts(son.levels) == curve
    assert son.floor == int(head["Floor"])
    assert texts([son.db_max, son.fmax, son.level_min, son.level_max]) == [
        head["dBMax"], head["Fmax"], head["LevelMin"], head["LevelMax"]]


@pytest.mark.parametrize("name,channel,start,end,width", [
    ("voice.wav", 0, 0, "2s", 1024),       # min/max pairs
    ("stereo.wav", 1, 500, 900, 1024),     # fewer frames than two a pixel: the samples
    ("long.wav", 0, "1s", "19s", 200),
])
def test_envelope_equals_the_command_line(sounds, cli, name, channel, start, end, width):
    path = sounds / name
    code, out, err = cli("envelope", path, "--start", start, "--end", end, "--channel", channel,
                         "--screen-width", width)
    assert code == 0, err
    header = dict(part.split("=") for part in out.splitlines()[0][2:].split())
    envelope = kavirel.open(path).envelope(start, end, channel, width=width)
    assert envelope.values.size == int(header["count"])
    assert texts(envelope.values) == [r[0] for r in columns(out)]
    assert texts([envelope.lower, envelope.upper]) == [header["lower"], header["upper"]]


@pytest.mark.parametrize("name,start,end,params,options", [
    ("voice.wav", None, None, {}, []),
    ("voice.wav", "0.3s", "1.5s", {"floor": 100.0, "ceiling": 300.0, "step": 0.005},
     ["--start", "0.3s", "--end", "1.5s", "--floor", "100", "--ceiling", "300", "--step", "0.005"]),
])
def test_pitch_equals_the_command_line(sounds, cli, name, start, end, params, options):
    path = sounds / name
    code, out, err = cli("pitch", path, *options)
    assert code == 0, err
    rows = columns(out)
    contour = kavirel.open(path).pitch(start, end, **params)
    assert texts(contour.times, "%.6f") == [r[0] for r in rows]
    assert texts(contour.f0, "%.3f") == [r[1] for r in rows]
    voiced = contour.f0[contour.f0 > 0]
    assert voiced.size > 0.8 * contour.f0.size
    assert np.median(voiced) == pytest.approx(140.0, rel=0.01)


def test_info_fields_equal_the_command_line(sounds, cli):
    path = sounds / "stereo.wav"
    code, out, err = cli("info", path)
    assert code == 0, err
    fields = dict(line.split(":", 1) for line in out.splitlines())
    sound = kavirel.open(path)
    assert out.startswith(sound.info_text + "\n")
    assert (sound.format, sound.rate, sound.channels, sound.bytes_per_sample) == (
        "WAVE", 22050, 2, 2)
    assert sound.frames == int(fields["Frames"])
    assert sound.data_offset == int(fields["DataOffset"])
    assert sound.block_align == int(fields["BlockAlign"])
    assert sound.flags == int(fields["Flags"])
    assert sound.seconds == pytest.approx(1.5)


@pytest.mark.parametrize("freq,ref,notation", [(440.0, 440.0, 0), (466.0, 440.0, 1),
                                               (262.5, 442.0, 0), (31.0, 440.0, 0)])
def test_note_equals_the_command_line(cli, freq, ref, notation):
    code, out, _ = cli("note", freq, "--ref", ref, "--notation", notation)
    assert code == 0
    assert kavirel.note(freq, ref, notation) == out.strip()


@pytest.mark.parametrize("text,rate", [("1m30s", 44100), ("2.5s", 16000), ("500f", 8000),
                                       ("1h 3s 7f", 48000), ("12345", 22050)])
def test_time_equals_the_command_line(cli, text, rate):
    code, out, _ = cli("time", text, "--rate", rate)
    assert code == 0
    frames, compact, clock = out.rstrip("\n").split("\t")
    assert kavirel.time(text, rate) == (int(frames), compact, clock)


def test_samples_peaks_and_levels_of_a_known_tone(sounds):
    sound = kavirel.open(sounds / "stereo.wav")
    right = sound.samples("0.5s", "0.6s", 1)
    assert right.size == 2205
    expected = np.round(
        0.25 * 32767 * np.sin(2 * np.pi * STEREO_RIGHT_HZ * np.arange(11025, 13230) / 22050))
    np.testing.assert_array_equal(right, expected)
    # Sixteen whole frames of 2048: no frame runs past the end into silence.
    peaks = sound.peaks(0, 16 * 2048, 0, average="power", level="dbfs")
    loudest = int(np.argmax(peaks.levels))
    assert peaks.frequencies[loudest] == pytest.approx(STEREO_LEFT_HZ, abs=0.01)
    assert peaks.bins[loudest] == 28
    assert peaks.levels[loudest] == pytest.approx(20 * np.log10(0.5), abs=0.05)
    assert np.all(np.diff(peaks.frequencies) > 0)
    assert sound.peaks(0, sound.frames, 0, count=2).bins.size == 2
    highest = sound.highest_peak(0, sound.frames, 0, average="power")
    assert highest.bin == peaks.bins[loudest]
    levels = sound.levels()
    # Peaks of 0.5 and 0.25; mean square (0.5² + 0.25²) / 4 over both channels.
    assert levels.peak_dbfs == pytest.approx(20 * np.log10(0.5), abs=0.01)
    assert levels.rms_dbfs == pytest.approx(10 * np.log10((0.25 + 0.0625) / 4), abs=0.01)


def test_refusals_carry_the_programs_message(tmp_path, cli):
    junk = tmp_path / "junk.wav"
    junk.write_bytes(b"this is no sound at all" * 100)
    code, _, err = cli("info", junk)
    assert code == 2
    with pytest.raises(kavirel.Error) as caught:
        kavirel.open(junk)
    assert str(caught.value).startswith(f"{junk} has no header that Kavirel knows")
    assert err.startswith(f"{junk} has no header that kavirel-cli knows")
    as_raw = kavirel.open(junk, raw=(8000, 1, 1, 0, "LSB"))
    assert (as_raw.frames, as_raw.rate, as_raw.channels) == (2300, 8000, 1)
    code, out, _ = cli("info", junk, "--raw", "8000,1,1,0,LSB")
    assert code == 0 and out.startswith(as_raw.info_text + "\n")
    with pytest.raises(kavirel.Error):
        kavirel.open(tmp_path / "missing.wav")


@pytest.mark.parametrize("call,message", [
    (lambda s: s.spectrum(0, lfft=1000), "lfft must be a power of two"),
    (lambda s: s.spectrum(0, level="volts"), "level must be lsb or dbfs"),
    (lambda s: s.spectrum(0, channel=1), "channel must lie between 0 and 0"),
    (lambda s: s.spectrum("5s"), "start must not lie beyond the end of the file"),
    (lambda s: s.spectrum(-3), "start must not be negative"),
    (lambda s: s.envelope(100, 50), "start must not lie after end"),
    (lambda s: s.pitch(floor=300.0, ceiling=200.0), "ceiling must lie above floor"),
    (lambda s: s.sonagram(0, "1s", range=0), "range must be above 0"),
    (lambda s: s.spectrum("2x"), "must be frames or a time"),
])
def test_bad_parameters_are_refused_as_the_command_line_refuses_them(sounds, call, message):
    with pytest.raises(ValueError, match=message):
        call(kavirel.open(sounds / "voice.wav"))


def test_nothing_computed_raises_the_programs_message(sounds):
    sound = kavirel.open(sounds / "voice.wav")
    with pytest.raises(kavirel.Error, match="FFT-Length exceeds the File-Length"):
        sound.spectrum(sound.frames - 100, lfft=2048)
    with pytest.raises(kavirel.Error, match="You have to define a task!"):
        sound.envelope(100, 100)
    with pytest.raises(kavirel.Error, match="shorter than one analysis frame"):
        sound.pitch(0, 100)


def test_computations_let_other_threads_run(sounds):
    """While one thread tracks the pitch of a long file, the interpreter runs
    the others: the main thread wakes while the computation is still on. A
    computation holding the lock would wake it only after its end."""
    sound = kavirel.open(sounds / "long.wav")
    calling = threading.Event()
    done = threading.Event()
    result = []

    def work():
        calling.set()
        result.append(sound.pitch(floor=60.0, step=0.001))
        done.set()

    interval = sys.getswitchinterval()
    sys.setswitchinterval(0.05)
    try:
        thread = threading.Thread(target=work)
        thread.start()
        calling.wait()
        time.sleep(0.01)
        woke_during_computation = not done.is_set()
        thread.join()
    finally:
        sys.setswitchinterval(interval)
    assert result[0].f0.size > 19000
    assert woke_during_computation
