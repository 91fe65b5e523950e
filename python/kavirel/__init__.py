"""Kavirel's analyses of sound files as NumPy arrays.

The numbers are those of the program's windows and of kavirel-cli, computed
by the same C++ code. Parameters not given take the program's built-in
defaults, never a user's settings file, unless a sound is opened with
user_settings=True. Positions are frame numbers or time texts as the task
dialog reads them ("1m30s", "2.5s", "500f"). Sample values and levels are in
the program's units: a full-scale 16-bit sample is 32767, levels in dB are
re one least significant bit unless level="dbfs" is asked for.

    import kavirel
    sound = kavirel.open("song.wav")
    spectrum = sound.spectrum("1s", "3s", average="power", level="dbfs")
    best = spectrum.frequencies[spectrum.levels.argmax()]
    print(kavirel.note(best), sound.pitch().f0)
"""

import os
from collections import namedtuple

import numpy as np

from . import _kavirel
from ._kavirel import Error

__all__ = [
    "Error",
    "Sound",
    "open",
    "note",
    "time",
    "sound_file_extensions",
    "threads",
    "set_threads",
]

Spectrum = namedtuple("Spectrum", "frequencies levels smoothed bin_width decibels dbfs")
Spectrum.__doc__ = """One level per bin, bins 0 .. lfft/2 - 1; smoothed is the cepstrally
smoothed curve of method 1, else None; levels are in dB unless linear, re
full scale when dbfs."""
Peaks = namedtuple("Peaks", "bins frequencies levels")
Peaks.__doc__ = """The spectrum's peaks as Ctrl+Right visits them in its window, rising in
frequency; frequencies are refined by the parabola through the peak bin and
its neighbours."""
Peak = namedtuple("Peak", "bin frequency level")
Sonagram = namedtuple("Sonagram", "cells levels db_max floor fmax level_min level_max")
Sonagram.__doc__ = """cells: grey indices, rows from the highest bin down to 0 Hz, one
column per analysis frame (0 is the background, 255 the loudest); levels:
the level curve, one value per column."""
Envelope = namedtuple("Envelope", "values lower upper")
Pitch = namedtuple("Pitch", "times f0")
Pitch.__doc__ = """times: the centre of each analysis frame in seconds from the start of
the file; f0 in Hz, 0 where the frame is unvoiced."""
Overview = namedtuple("Overview", "envelope levels from_cache")
Overview.__doc__ = """envelope: per channel, width value pairs (maximum, minimum; minimum,
maximum for 8-bit files); levels: per channel, 2 x width levels in dB."""
Levels = namedtuple("Levels", "peak_dbfs rms_dbfs")
Time = namedtuple("Time", "frames compact clock")

_LEVELS = {"lsb": 0, "dbfs": 1}
_AVERAGES = {"db": 0, "power": 1}


def _choice(value, choices, name):
    if value is None:
        return None
    if value not in choices:
        raise ValueError(f"{name} must be {' or '.join(choices)}, not {value!r}")
    return choices[value]


def open(path, raw=None, user_settings=False):
    """Opens and recognises a sound file as Kavirel does.

    raw = (rate, channels, bytes_per_sample, data_offset, "LSB" or "MSB")
    gives the format of a file without a header. Raises kavirel.Error with
    the program's message when the file cannot be read as sound."""
    return Sound(path, raw, user_settings)


def note(freq, ref=440.0, notation=0):
    """The nearest note of freq Hz with its deviation in cents, as
    kavirel-cli note names it ("A4+0.000Cent"); notation 1 gives German names."""
    return _kavirel.note(float(freq), float(ref), int(notation))


def time(text, rate):
    """A time text read as the task dialog reads it: its frames at rate, and
    the compact and the clock text of those frames."""
    return Time(*_kavirel.time(str(text), float(rate)))


def sound_file_extensions():
    """The file-name extensions (lower case, no dot) of the files Kavirel opens."""
    return list(_kavirel.sound_file_extensions())


def threads():
    """The threads an analysis of a whole file may use (every core by default)."""
    return _kavirel.analysis_threads()


def set_threads(count):
    """Lets analyses use count threads, or one per core for 0. The same numbers
    come out whatever the count."""
    _kavirel.set_analysis_threads(int(count))


class Sound:
    """An opened sound file: the fields of kavirel-cli info and its analyses."""

    def __init__(self, path, raw=None, user_settings=False):
        if raw is not None:
            raw = tuple(raw)
        self._sound = _kavirel.Sound(os.fspath(path), raw, bool(user_settings))

    def __repr__(self):
        return (f"<kavirel.Sound {self.path!r} {self.format} {self.rate} Hz "
                f"{self.channels} ch {self.frames} frames>")

    path = property(lambda self: self._sound.path)
    format = property(lambda self: self._sound.format_name, doc="WAVE, AIFF, AU, FLAC...")
    rate = property(lambda self: self._sound.rate, doc="frames per second")
    channels = property(lambda self: self._sound.channels)
    bytes_per_sample = property(lambda self: self._sound.bytes_per_sample)
    frames = property(lambda self: self._sound.frames)
    data_offset = property(lambda self: self._sound.data_offset)
    block_align = property(lambda self: self._sound.block_align)
    flags = property(lambda self: self._sound.flags)
    decoded_path = property(lambda self: self._sound.decoded_path,
                            doc="the decoded copy of a compressed file, else empty")
    info_text = property(lambda self: self._sound.info_text,
                         doc="the file block of Show Info")
    full_scale = property(lambda self: self._sound.full_scale,
                          doc="the numeric value of a full-scale sample")

    @property
    def seconds(self):
        return self.frames / self.rate if self.rate > 0 else 0.0

    def _position(self, value, name, default):
        if value is None:
            return default
        if isinstance(value, str):
            frames = time(value, self.rate).frames
        elif isinstance(value, (int, np.integer)) and not isinstance(value, bool):
            frames = int(value)
        else:
            raise TypeError(f"{name} must be frames or a time text, not {value!r}")
        if frames < 0:
            raise ValueError(f"{name} must not be negative")
        if frames > self.frames:
            raise ValueError(
                f"{name} must not lie beyond the end of the file, frame {self.frames}")
        return frames

    def _task(self, start, end, channel, start_default=0, end_default=None):
        first = self._position(start, "start", start_default)
        last = self._position(end, "end", first if end_default is None else end_default)
        return self._sound.task(first, last, int(channel))

    def _spectrum_request(self, start, end, channel, lfft, lwdw, shift, window, method,
                          cepfreq, linear, level, average, screen_width):
        request = _kavirel.SpectrumRequest()
        request.task = self._task(start, end, channel)
        request.lfft = lfft
        request.lwdw = lwdw
        request.shift = shift
        request.window = window
        request.method = method
        request.cepfreq = cepfreq
        request.linear = bool(linear)
        request.level = _choice(level, _LEVELS, "level")
        request.average = _choice(average, _AVERAGES, "average")
        request.screen_width = int(screen_width)
        return request

    def overview(self, width=1024):
        """The whole-file overview of the head window, from or into the .sfv
        cache beside the file."""
        values, from_cache = self._sound.overview(int(width))
        channels = self.channels
        envelope = values[:channels].reshape(channels, int(width), 2)
        return Overview(envelope, values[channels:], from_cache)

    def spectrum(self, start, end=None, channel=0, *, lfft=None, lwdw=None, shift=None,
                 window=None, method=None, cepfreq=None, linear=False, level=None,
                 average=None, screen_width=1024):
        """The spectrum a spectrum window shows: at the instant start, or
        averaged over start .. end. level "lsb" or "dbfs"; average "db" (the
        mean of the frames' dB) or "power" (the dB of their mean power)."""
        request = self._spectrum_request(start, end, channel, lfft, lwdw, shift, window, method,
                                         cepfreq, linear, level, average, screen_width)
        bin_width, decibels, level_ref, levels, smoothed = self._sound.spectrum(request)
        frequencies = np.arange(levels.size) * bin_width
        return Spectrum(frequencies, levels, smoothed, bin_width, decibels, level_ref == 1)

    def peaks(self, start, end=None, channel=0, *, count=0, lfft=None, lwdw=None, shift=None,
              window=None, method=None, cepfreq=None, linear=False, level=None, average=None,
              screen_width=1024):
        """The peaks of the spectrum of the same arguments, at most count of
        them when count is positive."""
        request = self._spectrum_request(start, end, channel, lfft, lwdw, shift, window, method,
                                         cepfreq, linear, level, average, screen_width)
        return Peaks(*self._sound.peaks(request, int(count)))

    def highest_peak(self, start, end=None, channel=0, *, lfft=None, lwdw=None, shift=None,
                     window=None, method=None, cepfreq=None, linear=False, level=None,
                     average=None, screen_width=1024):
        """The peak of highest level among peaks(...), the lowest in frequency
        of equal ones, or None when the spectrum has no peak."""
        request = self._spectrum_request(start, end, channel, lfft, lwdw, shift, window, method,
                                         cepfreq, linear, level, average, screen_width)
        peak = self._sound.highest_peak(request)
        return None if peak is None else Peak(*peak)

    def sonagram(self, start, end, channel=0, *, lfft=None, lwdw=None, window=None, range=None,
                 fmax=None, level=None, screen_width=1024):
        """The sonagram of start .. end as kavirel-cli sonagram --cells computes it."""
        request = _kavirel.SonagramRequest()
        request.task = self._task(start, end, channel)
        request.lfft = lfft
        request.lwdw = lwdw
        request.window = window
        request.range = range
        request.fmax = fmax
        request.level = _choice(level, _LEVELS, "level")
        request.screen_width = int(screen_width)
        return Sonagram(*self._sound.sonagram(request))

    def envelope(self, start, end, channel=0, width=1024):
        """The display envelope of a waveform window on start .. end, for a
        screen width pixels wide."""
        return Envelope(*self._sound.envelope(self._task(start, end, channel), int(width)))

    def pitch(self, start=None, end=None, channel=0, *, floor=None, ceiling=None, step=None):
        """The fundamental frequency frame by frame over start .. end (the
        whole file by default); floor and ceiling bound the pitches sought
        (75 and 600 Hz), frames lie step seconds apart (0.75 / floor)."""
        request = _kavirel.PitchRequest()
        request.task = self._task(start, end, channel, end_default=self.frames)
        request.floor = floor
        request.ceiling = ceiling
        request.step = step
        return Pitch(*self._sound.pitch(request))

    def samples(self, start=None, end=None, channel=0):
        """The numeric sample values of start .. end (the whole file by
        default) of one channel, as every analysis reads them."""
        return self._sound.samples(self._task(start, end, channel, end_default=self.frames))

    def levels(self):
        """The peak and the RMS of every sample of every channel in dBFS."""
        return Levels(*self._sound.levels())
