"""Sound files written for the tests: tones of known frequency and amplitude,
silence, a truncated file and one of no known format."""

import math
import os
import wave

import numpy as np


def write_wav(path, samples, rate, channels=1):
    """samples: floats of full scale 1, frames x channels interleaved, as 16-bit PCM."""
    data = np.clip(np.round(np.asarray(samples) * 32767.0), -32768, 32767).astype("<i2")
    with wave.open(os.fspath(path), "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(data.tobytes())


def tone(frequency, amplitude, seconds, rate):
    t = np.arange(int(round(seconds * rate))) / rate
    return amplitude * np.sin(2.0 * math.pi * frequency * t)


def write_tone(path, frequency, amplitude, seconds, rate=16000):
    write_wav(path, tone(frequency, amplitude, seconds, rate), rate)


def write_voice(path, f0, seconds, rate=16000):
    """A buzz of harmonics of f0 falling in level, such as the pitch tracker
    follows in a voice."""
    t = np.arange(int(round(seconds * rate))) / rate
    buzz = sum(np.sin(2.0 * math.pi * k * f0 * t) / k for k in range(1, 8))
    write_wav(path, 0.3 * buzz / np.max(np.abs(buzz)), rate)


def truncate(path, keep_bytes):
    """Cuts a file short, its header still naming every frame."""
    with open(path, "r+b") as f:
        f.truncate(keep_bytes)


def write_unknown(path, size=5000):
    rng = np.random.default_rng(7)
    with open(path, "wb") as f:
        f.write(b"NOTASOUND" + rng.integers(0, 256, size, dtype=np.uint8).tobytes())
