// Magnitude and dB spectra of frames, checked against a plain DFT, against
// the other transform layer, and on sines whose spectra are known; and the RMS
// level of frames.
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/Decibels.h"
#include "spectrum/RadixFft.h"
#include "spectrum/TolqFft.h"
#include "spectrum/WindowFunction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kSentinel = -12345.0f;

std::vector<float> RandomFrame(std::size_t n, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> value(-32768.0f, 32767.0f);
    std::vector<float> frame(n);
    for (float& v : frame) {
        v = value(engine);
    }
    return frame;
}

// |X[k]|^2 for k = 0 .. n/2 - 1, summed in long double.
std::vector<double> NaivePowers(const std::vector<float>& frame) {
    const std::size_t n = frame.size();
    std::vector<long double> cosines(n);
    std::vector<long double> sines(n);
    for (std::size_t i = 0; i < n; ++i) {
        cosines[i] = std::cos(2.0L * kPi * i / n);
        sines[i] = std::sin(2.0L * kPi * i / n);
    }
    std::vector<double> powers(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        long double re = 0.0L;
        long double im = 0.0L;
        for (std::size_t t = 0; t < n; ++t) {
            re += frame[t] * cosines[(k * t) % n];
            im -= frame[t] * sines[(k * t) % n];
        }
        powers[k] = static_cast<double>(re * re + im * im);
    }
    return powers;
}

// A sine of the given amplitude with a whole number of periods, shaped by a
// window of the whole frame.
std::vector<float> WindowedSine(int n, double cyclesPerFrame, double amplitude, int windowType) {
    std::vector<float> window(n);
    MakeWindow(window.data(), n, n, windowType);
    std::vector<float> frame(n);
    for (int t = 0; t < n; ++t) {
        frame[t] = static_cast<float>(amplitude * std::sin(2.0 * kPi * cyclesPerFrame * t / n)) *
                   window[t];
    }
    return frame;
}

std::vector<float> Spectrum(std::vector<float> frame, bool decibels) {
    const int n = static_cast<int>(frame.size());
    frame.push_back(kSentinel);
    frame.push_back(kSentinel);
    MagnitudeSpectrum(frame.data(), n, decibels);
    EXPECT_EQ(frame[n], kSentinel) << "written past the frame";
    EXPECT_EQ(frame[n + 1], kSentinel) << "written past the frame";
    frame.resize(n / 2);
    return frame;
}

int PeakBin(const std::vector<float>& spectrum) {
    return static_cast<int>(std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin());
}

// -------------------------------------------------------------------------
// Known spectra

// 1000 Hz at 8000 Hz falls on bin 32 of 256. The periodic Hanning window
// spreads a whole-bin sine over exactly three bins, the outer two at half
// the amplitude (6.02 dB down), and the peak magnitude is amplitude n / 4.
TEST(MagnitudeSpectrumTest, HanningSineAtAWholeBinPeaksThereWithTwoHalfSideBins) {
    const int n = 256;
    const double amplitude = 10000.0;
    const std::vector<float> frame =
        WindowedSine(n, 1000.0 * n / 8000.0, amplitude, kWindowHanning);

    const std::vector<float> decibels = Spectrum(frame, true);
    ASSERT_EQ(PeakBin(decibels), 32);
    EXPECT_NEAR(decibels[32], 20.0 * std::log10(amplitude * n / 4), 1e-3);
    EXPECT_NEAR(decibels[32] - decibels[31], 20.0 * std::log10(2.0), 1e-3);
    EXPECT_NEAR(decibels[32] - decibels[33], 20.0 * std::log10(2.0), 1e-3);
    EXPECT_LT(decibels[30], decibels[32] - 80.0f);
    EXPECT_LT(decibels[34], decibels[32] - 80.0f);

    const std::vector<float> magnitudes = Spectrum(frame, false);
    EXPECT_NEAR(magnitudes[32], amplitude * n / 4, amplitude * n * 1e-6);
    EXPECT_NEAR(magnitudes[31], amplitude * n / 8, amplitude * n * 1e-6);
}

TEST(MagnitudeSpectrumTest, MatchesAPlainDft) {
    for (int n : {2, 16, 256, 2048}) {
        SCOPED_TRACE(n);
        const std::vector<float> frame = RandomFrame(static_cast<std::size_t>(n), 1u + n);
        const std::vector<double> powers = NaivePowers(frame);
        const std::vector<float> magnitudes = Spectrum(frame, false);
        const std::vector<float> decibels = Spectrum(frame, true);
        const double typical = 32768.0 * std::sqrt(n / 3.0);
        for (int k = 0; k < n / 2; ++k) {
            ASSERT_NEAR(magnitudes[k], std::sqrt(powers[k]), 2e-6 * typical) << "bin " << k;
            // A bin far below the typical one carries the transform's absolute
            // error, which in dB is no longer small.
            if (powers[k] > 1e-6 * typical * typical) {
                ASSERT_NEAR(decibels[k], 10.0 * std::log10(powers[k]), 1e-3) << "bin " << k;
            }
        }
    }
}

// -------------------------------------------------------------------------
// The hand-over from FFTW to the radix-2 transform above 32768 points

TEST(MagnitudeSpectrumTest, BothTransformLayersGiveTheSameMagnitudes) {
    for (int n : {32768, 65536}) {
        SCOPED_TRACE(n);
        const std::vector<float> frame = RandomFrame(static_cast<std::size_t>(n), 2u);
        std::vector<float> expected(n / 2);
        if (n <= 32768) {
            std::vector<float> re = frame;
            std::vector<float> im(n, 0.0f);
            ForwardFft(re.data(), im.data(), n);
            for (int k = 0; k < n / 2; ++k) {
                expected[k] = std::hypot(re[k], im[k]);
            }
        } else {
            std::vector<float> packed = frame;
            cfast(packed.data(), n);
            for (int k = 0; k < n / 2; ++k) {
                expected[k] = std::hypot(packed[2 * k], packed[2 * k + 1]);
            }
        }
        const std::vector<float> magnitudes = Spectrum(frame, false);
        const double typical = 32768.0 * std::sqrt(n / 3.0);
        for (int k = 0; k < n / 2; ++k) {
            ASSERT_NEAR(magnitudes[k], expected[k], 4e-6 * typical) << "bin " << k;
        }
    }
}

// Both layers are unscaled, so a steady whole-bin sine gains 6.02 dB at every
// doubling of the frame, across the hand-over as elsewhere.
TEST(MagnitudeSpectrumTest, SineGainsSixDecibelsPerDoublingAcrossTheHandOver) {
    for (int type : {kWindowHanning, kWindowBlackmanHarris}) {
        SCOPED_TRACE(type);
        float previousPeak = 0.0f;
        for (int n : {16384, 32768, 65536, 131072}) {
            SCOPED_TRACE(n);
            // 1000 cycles in 32768 points, the same frequency at every length.
            const double cycles = 1000.0 * n / 32768;
            const std::vector<float> decibels =
                Spectrum(WindowedSine(n, cycles, 3000.0, type), true);
            const int peak = PeakBin(decibels);
            ASSERT_EQ(peak, static_cast<int>(cycles));
            if (n > 16384) {
                EXPECT_NEAR(decibels[peak] - previousPeak, 20.0 * std::log10(2.0), 0.01);
            }
            previousPeak = decibels[peak];
        }
    }
}

// -------------------------------------------------------------------------
// Silence and the dB floor

TEST(MagnitudeSpectrumTest, DigitalSilenceLiesOnTheFloorInBothLayers) {
    for (int n : {1024, 65536}) {
        SCOPED_TRACE(n);
        const std::vector<float> silence(n, 0.0f);
        for (float level : Spectrum(silence, true)) {
            ASSERT_EQ(level, kSilenceDb);
        }
        for (float magnitude : Spectrum(silence, false)) {
            ASSERT_EQ(magnitude, 0.0f);
        }
    }
}

// Frames whose bins are mostly 0: a constant, a lone impulse, a sine that
// lives entirely in the dropped bin n/2. No level is below the floor or not
// finite, and the sounding bins keep their true levels.
TEST(MagnitudeSpectrumTest, SparseFramesStayFiniteAndOnOrAboveTheFloor) {
    const int n = 4096;
    std::vector<float> constant(n, 100.0f);
    std::vector<float> impulse(n, 0.0f);
    impulse[17] = 1.0f;
    std::vector<float> alternating(n);
    for (int t = 0; t < n; ++t) {
        alternating[t] = (t % 2 == 0) ? 5.0f : -5.0f;
    }
    for (const auto& frame : {constant, impulse, alternating}) {
        for (float level : Spectrum(frame, true)) {
            ASSERT_TRUE(std::isfinite(level));
            ASSERT_GE(level, kSilenceDb);
        }
    }
    EXPECT_NEAR(Spectrum(constant, true)[0], 20.0 * std::log10(100.0 * n), 1e-3);
    for (float level : Spectrum(impulse, true)) {
        ASSERT_NEAR(level, 0.0f, 1e-4f);
    }
}

// -------------------------------------------------------------------------
// Frames inside a larger buffer, and lengths that are not frames

// The sonagram transforms each column in place at i * H floats into one
// buffer, so most frames start at an unaligned address, and each column's
// working values run into the next column's space, which is read afterwards.
TEST(MagnitudeSpectrumTest, ColumnsOfASharedBufferMatchSeparateFrames) {
    const int n = 512;
    const int height = 37;
    const int columns = 12;
    std::vector<float> buffer(columns * height + n, 0.0f);
    for (int i = 0; i < columns; ++i) {
        const std::vector<float> frame = RandomFrame(static_cast<std::size_t>(n), 50u + i);
        std::copy(frame.begin(), frame.end(), buffer.begin() + i * height);
        MagnitudeSpectrum(buffer.data() + i * height, n, true);
        const std::vector<float> expected = Spectrum(frame, true);
        ASSERT_TRUE(
            std::equal(expected.begin(), expected.begin() + height, buffer.begin() + i * height))
            << "column " << i;
    }
}

TEST(MagnitudeSpectrumTest, LengthsThatAreNotPowersOfTwoLeaveDataUnchanged) {
    for (int n : {-2, 0, 1, 3, 100, 1000}) {
        SCOPED_TRACE(n);
        std::vector<float> data = RandomFrame(1024, 9u);
        const std::vector<float> before = data;
        MagnitudeSpectrum(data.data(), n, true);
        EXPECT_EQ(data, before);
    }
}

// -------------------------------------------------------------------------
// FrameLevel

TEST(MagnitudeFrameLevelTest, SineOverWholePeriodsHasTheRmsOfItsAmplitudeOverRootTwo) {
    const int n = 4096;
    std::vector<float> frame(n);
    for (int t = 0; t < n; ++t) {
        frame[t] = static_cast<float>(1000.0 * std::sin(2.0 * kPi * t / 64));
    }
    EXPECT_NEAR(FrameLevel(frame.data(), n, false), 1000.0 / std::sqrt(2.0), 1e-3);
    EXPECT_NEAR(FrameLevel(frame.data(), n, true), 10.0 * std::log10(1000.0 * 1000.0 / 2), 1e-5);
}

TEST(MagnitudeFrameLevelTest, ConstantFrameHasItsOwnMagnitude) {
    const std::vector<float> frame(300, -300.0f);
    EXPECT_DOUBLE_EQ(FrameLevel(frame.data(), 300, false), 300.0);
    EXPECT_NEAR(FrameLevel(frame.data(), 300, true), 20.0 * std::log10(300.0), 1e-9);
}

// 2^20 full-scale samples: a float sum would have drifted long before the end.
TEST(MagnitudeFrameLevelTest, LongLoudFramesAreSummedExactly) {
    const int n = 1 << 20;
    const std::vector<float> frame(n, 32767.0f);
    EXPECT_EQ(FrameLevel(frame.data(), n, false), 32767.0);
}

// Unlike a silent bin, a silent frame is 0 dB; anything above silence keeps
// its own level, however far below one sample step it lies.
TEST(MagnitudeFrameLevelTest, SilenceIsZeroDecibels) {
    const std::vector<float> silence(256, 0.0f);
    EXPECT_EQ(FrameLevel(silence.data(), 256, false), 0.0);
    EXPECT_EQ(FrameLevel(silence.data(), 256, true), 0.0);
    EXPECT_EQ(FrameLevel(silence.data(), 0, false), 0.0);
    EXPECT_EQ(FrameLevel(silence.data(), 0, true), 0.0);
    const float whisper = 1e-12f;
    EXPECT_NEAR(FrameLevel(&whisper, 1, true), -240.0, 1e-3);
}

} // namespace
