"""What the tests of the Python package share: kavirel-cli beside the module,
run with the built-in defaults (an empty settings folder), and a folder of
generated sound files."""

import os
import subprocess
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import soundfiles  # noqa: E402


STEREO_LEFT_HZ = 28 * 22050 / 2048
STEREO_RIGHT_HZ = 112 * 22050 / 2048


def cli_path():
    return os.environ.get("KAVIREL_CLI", os.path.join(ROOT, "build", "app", "cli", "kavirel-cli"))


@pytest.fixture(scope="session")
def settings_home(tmp_path_factory):
    """A settings folder with no settings file, so that kavirel-cli takes the
    defaults the module takes."""
    home = tmp_path_factory.mktemp("config")
    os.environ["XDG_CONFIG_HOME"] = str(home)
    return home


@pytest.fixture(scope="session")
def cli(settings_home):
    """Runs kavirel-cli; returns (exit code, standard output, standard error)."""
    env = dict(os.environ, XDG_CONFIG_HOME=str(settings_home))

    def run(*args):
        done = subprocess.run([cli_path(), *map(str, args)], capture_output=True, text=True,
                              env=env, timeout=120)
        return done.returncode, done.stdout, done.stderr

    return run


@pytest.fixture(scope="session")
def sounds(tmp_path_factory):
    """A voice-like buzz, a stereo file of two tones on bins 28 and 112 of a
    2048-point transform, and a long tone."""
    folder = tmp_path_factory.mktemp("sounds")
    soundfiles.write_voice(folder / "voice.wav", 140.0, 2.0, rate=16000)
    left = soundfiles.tone(STEREO_LEFT_HZ, 0.5, 1.5, 22050)
    right = soundfiles.tone(STEREO_RIGHT_HZ, 0.25, 1.5, 22050)
    stereo = [v for pair in zip(left, right) for v in pair]
    soundfiles.write_wav(folder / "stereo.wav", stereo, 22050, channels=2)
    soundfiles.write_tone(folder / "long.wav", 440.0, 0.7, 20.0, rate=44100)
    return folder
