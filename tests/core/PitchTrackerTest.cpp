// The pitch tracker on voices made here, whose fundamental is known period by
// period: glottal pulses with jitter and shimmer, vibrato, a glide and noise at
// two rates; what must come out unvoiced; a file range read in blocks; and
// speech from espeak-ng, whose contour must not jump by octaves.
#include "support/TestFiles.h"

#include "soundfile/OpenHead.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "spectrum/PitchTracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kRates[] = {44100.0, 16000.0};

// Rosenberg's glottal flow over one period, p from 0 to 1: opening over 40 %
// of the period, closing over 16 %, closed for the rest.
double Rosenberg(double p) {
    if (p < 0.4)
        return 0.5 * (1.0 - std::cos(kPi * p / 0.4));
    return p < 0.56 ? std::cos(0.5 * kPi * (p - 0.4) / 0.16) : 0.0;
}

struct Voice {
    const char* name;
    std::function<double(double)> f0; // Hz at a time in seconds
    double jitter = 0.01;             // largest change of a period, relative
    double shimmer = 0.05;            // largest change of a pulse's height, relative
    double snrDb = INFINITY;          // of white noise, against the voice at full level
    double level = 1.0;               // of the voice; 0.01 after faintAfter seconds
    double faintAfter = INFINITY;
};

Voice Steady(const char* name, double hz, double snrDb = INFINITY, double level = 1.0) {
    return {name, [hz](double) { return hz; }, 0.01, 0.05, snrDb, level};
}

struct Sung {
    std::vector<float> samples;
    std::vector<double> pulses; // the start of every period, in seconds
};

// The slope of the glottal flow, as the lips radiate it, each period drawn
// from the contour at its start.
Sung Sing(const Voice& voice, double rate, double seconds = 2.0) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> spread(-1.0, 1.0);
    Sung sung{std::vector<float>(size_t(seconds * rate)), {0.0}};
    double period = 1.0 / voice.f0(0.0), height = 1.0, flow = 0.0, power = 0.0;
    for (size_t i = 0; i < sung.samples.size(); ++i) {
        const double t = double(i) / rate;
        while (t >= sung.pulses.back() + period) {
            sung.pulses.push_back(sung.pulses.back() + period);
            period = (1.0 + voice.jitter * spread(random)) / voice.f0(sung.pulses.back());
            height = 1.0 + voice.shimmer * spread(random);
        }
        const double next = height * Rosenberg((t - sung.pulses.back()) / period);
        sung.samples[i] = float(20000.0 * (next - flow));
        flow = next;
        power += double(sung.samples[i]) * sung.samples[i] / double(sung.samples.size());
    }
    std::normal_distribution<double> noise(0.0,
                                           std::sqrt(power / std::pow(10.0, voice.snrDb / 10.0)));
    for (size_t i = 0; i < sung.samples.size(); ++i) {
        const double level = double(i) / rate < voice.faintAfter ? voice.level : 0.01 * voice.level;
        sung.samples[i] = float(level * sung.samples[i] + noise(random));
    }
    return sung;
}

// The fundamental around time t: the inverse of the mean length of the
// periods centred within 10 ms of t, the middle half of a frame, where its
// window weighs most. With jitter this differs from the contour.
double TrueF0(const Sung& sung, double t) {
    double sum = 0.0;
    int periods = 0;
    for (size_t k = 1; k < sung.pulses.size(); ++k) {
        if (std::abs(0.5 * (sung.pulses[k - 1] + sung.pulses[k]) - t) <= 0.01) {
            sum += sung.pulses[k] - sung.pulses[k - 1];
            ++periods;
        }
    }
    return periods / sum;
}

std::string Named(const char* name, double rate) {
    return std::string(name) + "@" + std::to_string(int(rate));
}

} // namespace

TEST(PitchTracker, FollowsGeneratedVoicesWithinOnePercent) {
    const Voice voices[] = {
        Steady("low voice 110 Hz", 110.0),
        Steady("high voice 240 Hz", 240.0),
        {"vibrato 200 Hz, 1 semitone at 5.5 Hz",
         [](double t) { return 200.0 * std::pow(2.0, std::sin(2.0 * kPi * 5.5 * t) / 12.0); }},
        {"glide 80 to 400 Hz", [](double t) { return 80.0 * std::pow(5.0, t / 2.0); }},
        Steady("150 Hz in noise at 20 dB", 150.0, 20.0),
        Steady("78 Hz, near the floor, in noise at 20 dB", 78.0, 20.0),
    };
    for (const Voice& voice : voices) {
        for (const double rate : kRates) {
            SCOPED_TRACE(Named(voice.name, rate));
            const Sung sung = Sing(voice, rate);
            const PitchContour contour =
                TrackPitch(sung.samples.data(), sung.samples.size(), rate, {});
            ASSERT_GT(contour.f0.size(), 150u);
            int close = 0, octaveErrors = 0;
            const size_t frames = contour.f0.size() - 2; // the first and last left out
            for (size_t f = 1; f <= frames; ++f) {
                const double ratio = contour.f0[f] / TrueF0(sung, contour.times[f]);
                close += std::abs(ratio - 1.0) <= 0.01;
                octaveErrors += ratio > 1.8 || (ratio > 0.0 && ratio < 0.55);
            }
            const double share = 100.0 * close / double(frames);
            ::testing::Test::RecordProperty(Named(voice.name, rate),
                                            std::to_string(share) + "% within 1%, " +
                                                std::to_string(octaveErrors) + " octave errors");
            EXPECT_GE(share, 99.0);
            EXPECT_EQ(octaveErrors, 0);
        }
    }
}

// Noise, digital silence and a voice dropping to 1 % of its level, below the
// silence threshold, are unvoiced (the last once faint); a voice just above
// the floor stays voiced in noise of a quarter of its power, as its
// correlation, freed from the window's taper, is still 0.8.
TEST(PitchTracker, TellsVoicedFromUnvoiced) {
    Voice faint = Steady("voice dropping to 1 %", 240.0);
    faint.faintAfter = 1.0;
    const struct {
        Voice voice;
        double from; // seconds; frames centred before are not looked at
        bool voiced;
    } sounds[] = {
        {Steady("white noise", 150.0, 0.0, 0.0), 0.0, false},
        {Steady("silence", 150.0, INFINITY, 0.0), 0.0, false},
        {faint, 1.03, false},
        {Steady("78 Hz in noise at 6 dB", 78.0, 6.0), 0.0, true},
    };
    for (const auto& sound : sounds) {
        for (const double rate : kRates) {
            SCOPED_TRACE(Named(sound.voice.name, rate));
            const std::vector<float> samples = Sing(sound.voice, rate).samples;
            const PitchContour contour = TrackPitch(samples.data(), samples.size(), rate, {});
            int frames = 0, right = 0;
            for (size_t f = 0; f < contour.f0.size(); ++f) {
                frames += contour.times[f] >= sound.from;
                right += contour.times[f] >= sound.from && (contour.f0[f] > 0.0) == sound.voiced;
            }
            ::testing::Test::RecordProperty(Named(sound.voice.name, rate),
                                            std::to_string(right) + " of " +
                                                std::to_string(frames) + " right");
            EXPECT_GT(frames, 90);
            EXPECT_GE(right, 0.95 * frames);
        }
    }
}

// A range of a file, read block by block, gives what its samples give in
// memory, at times counted from the start of the file.
TEST(PitchTracker, ReadsAFileRangeAsTheSamplesInMemory) {
    TempDir dir;
    const Sung sung = Sing(Steady("", 200.0), 16000.0, 10.0);
    const std::vector<int32_t> values(sung.samples.begin(), sung.samples.end());
    const std::vector<float> stored(values.begin(), values.end());
    RecordingDesktop desktop;
    const std::unique_ptr<CSfHead> head = OpenHeadFile(
        dir.Write("voice.wav", MakeWav(MonoWav16(16000), PcmBytes(values, 2))), desktop, 1024);
    ASSERT_TRUE(head);
    const struct {
        uint32_t start, end;
        double step; // seconds, 0 for the default
    } ranges[] = {{4000, 20100, 0.0}, {1000, 159000, 0.0}, {0, 160000, 0.1}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(std::to_string(range.start) + " to " + std::to_string(range.end));
        PitchParams params;
        params.timeStep = range.step;
        const PitchContour read = TrackFilePitch(head->Info(), range.start, range.end, 0, params);
        const PitchContour held =
            TrackPitch(stored.data() + range.start, range.end - range.start, 16000.0, params);
        ASSERT_FALSE(held.f0.empty());
        ASSERT_EQ(read.times.size(), held.times.size());
        for (size_t f = 0; f < held.times.size(); ++f) {
            EXPECT_NEAR(read.times[f], held.times[f] + range.start / 16000.0, 1e-9);
            EXPECT_EQ(read.f0[f], held.f0[f]) << "frame " << f;
        }
    }
}

TEST(PitchTracker, KeepsSpeechFreeOfOctaveJumps) {
    TempDir dir;
    for (const char* voice : {"en", "en+f3"}) {
        SCOPED_TRACE(voice);
        const std::string path = dir.Path() + "/speech.wav";
        const std::string command = std::string("espeak-ng -v ") + voice + " -w " + path +
                                    " 'The quick brown fox jumps over the lazy dog. "
                                    "How are you today? I am fine, thank you.'";
        if (std::system(command.c_str()) != 0)
            GTEST_SKIP() << "espeak-ng is not installed";
        RecordingDesktop desktop;
        const std::unique_ptr<CSfHead> head = OpenHeadFile(path, desktop, 1024);
        ASSERT_TRUE(head);
        const PitchContour contour = TrackFilePitch(head->Info(), 0, head->Info().frames, 0, {});
        int voiced = contour.f0[0] > 0.0;
        for (size_t f = 1; f < contour.f0.size(); ++f) {
            voiced += contour.f0[f] > 0.0;
            const double ratio = contour.f0[f] / contour.f0[f - 1];
            if (contour.f0[f] > 0.0 && contour.f0[f - 1] > 0.0) {
                EXPECT_TRUE(ratio <= 1.8 && ratio >= 0.55) << "at " << contour.times[f] << " s";
            }
        }
        EXPECT_GE(voiced, int(contour.f0.size() / 4));
    }
}
