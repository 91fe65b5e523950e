// Cepstral smoothing against its closed form, s[0] + 2 sum s[t] cos(2 pi k t / n)
// over the kept quefrencies, in both the FFTW form (up to 32768 points) and the
// radix-2 form (from 65536 points); and the cuts that leave a spectrum alone.
#include "spectrum/CepstralSmooth.h"
#include "spectrum/Decibels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr long double kTwoPi = 6.283185307179586476925286766559L;
constexpr float kSentinel = -12345.0f;

// A dB spectrum of n/2 bins in the range of real sound.
std::vector<float> RandomSpectrum(int n, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> level(0.0f, 100.0f);
    std::vector<float> spectrum(n / 2);
    for (float& v : spectrum) {
        v = level(engine);
    }
    return spectrum;
}

// The real cepstrum s of the spectrum mirrored to n points with bin n/2 at 0,
// then s[0] + 2 (s[1] cos(2 pi k / n) + ... + s[K-1] cos(2 pi k (K-1) / n)).
std::vector<double> ClosedForm(const std::vector<float>& spectrum, int n, int keep) {
    std::vector<long double> cosines(n);
    for (int i = 0; i < n; ++i) {
        cosines[i] = std::cos(kTwoPi * i / n);
    }
    const std::size_t size = static_cast<std::size_t>(n);
    std::vector<long double> cepstrum(keep);
    for (int t = 0; t < keep; ++t) {
        long double sum = spectrum[0];
        for (int k = 1; k < n / 2; ++k) {
            sum += 2.0L * spectrum[k] * cosines[(static_cast<std::size_t>(k) * t) % size];
        }
        cepstrum[t] = sum / n;
    }
    std::vector<double> smoothed(n / 2);
    for (int k = 0; k < n / 2; ++k) {
        long double sum = cepstrum[0];
        for (int t = 1; t < keep; ++t) {
            sum += 2.0L * cepstrum[t] * cosines[(static_cast<std::size_t>(k) * t) % size];
        }
        smoothed[k] = static_cast<double>(sum);
    }
    return smoothed;
}

// Runs the smoothing on a buffer of n floats with a sentinel behind it.
std::vector<float> Smoothed(const std::vector<float>& spectrum, int n, double cut) {
    std::vector<float> data(n + 1, 0.0f);
    std::copy(spectrum.begin(), spectrum.end(), data.begin());
    data[n] = kSentinel;
    CepstralSmooth(data.data(), n, cut);
    EXPECT_EQ(data[n], kSentinel) << "written past the working space";
    data.resize(n / 2);
    return data;
}

// -------------------------------------------------------------------------
// The closed form

TEST(CepstralSmoothTest, MatchesTheClosedFormInBothForms) {
    for (int n : {16, 64, 1024, 32768, 65536}) {
        // 88.2 is 44100 Hz over the default 500 Hz cut-off.
        std::vector<double> cuts = {2.0, 2.9, 7.5, 88.2};
        if (n <= 1024) {
            cuts.push_back(n / 2);
        }
        const std::vector<float> spectrum = RandomSpectrum(n, 3u + n);
        for (double cut : cuts) {
            if (cut > n / 2) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "n " << n << " cut " << cut);
            const std::vector<double> expected = ClosedForm(spectrum, n, static_cast<int>(cut));
            const std::vector<float> smoothed = Smoothed(spectrum, n, cut);
            for (int k = 0; k < n / 2; ++k) {
                ASSERT_NEAR(smoothed[k], expected[k], 2e-3) << "bin " << k;
            }
        }
    }
}

// A smooth envelope (quefrency 3) under a fine ripple (quefrency 40), like the
// harmonics of a voiced sound over its formants. Its value at bin n/2 is 0, so
// mirroring loses nothing, and a cut of 10 leaves the envelope alone.
TEST(CepstralSmoothTest, RemovesARippleAndKeepsTheEnvelope) {
    for (int n : {1024, 65536}) {
        SCOPED_TRACE(n);
        std::vector<float> spectrum(n / 2);
        std::vector<double> envelope(n / 2);
        for (int k = 0; k < n / 2; ++k) {
            envelope[k] = 10.0 + 30.0 * std::cos(static_cast<double>(kTwoPi) * 3 * k / n);
            spectrum[k] = static_cast<float>(
                envelope[k] + 20.0 * std::cos(static_cast<double>(kTwoPi) * 40 * k / n));
        }
        const std::vector<float> smoothed = Smoothed(spectrum, n, 10.0);
        for (int k = 0; k < n / 2; ++k) {
            ASSERT_NEAR(smoothed[k], envelope[k], 1e-3) << "bin " << k;
        }
    }
}

// -------------------------------------------------------------------------
// Cuts and lengths that leave the spectrum alone

TEST(CepstralSmoothTest, CutsBelowTwoOrAboveHalfTheLengthChangeNothing) {
    const double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int n : {64, 65536}) {
        SCOPED_TRACE(n);
        std::vector<float> data = RandomSpectrum(2 * n, 4u);
        const std::vector<float> before = data;
        for (double cut : {1.99, 0.0, -5.0, nan, -infinity, n / 2 + 1.0, 1e12, 1e300, infinity}) {
            SCOPED_TRACE(cut);
            CepstralSmooth(data.data(), n, cut);
            ASSERT_EQ(data, before);
        }
        CepstralSmooth(data.data(), n, n / 2 + 0.9);
        EXPECT_NE(data, before);
    }
}

TEST(CepstralSmoothTest, LengthsThatAreNotPowersOfTwoChangeNothing) {
    for (int n : {-4, 0, 1, 3, 100}) {
        SCOPED_TRACE(n);
        std::vector<float> data = RandomSpectrum(256, 5u);
        const std::vector<float> before = data;
        CepstralSmooth(data.data(), n, 10.0);
        EXPECT_EQ(data, before);
    }
}

// -------------------------------------------------------------------------
// Silence and buffer placement

// A bin of -inf dB would turn every smoothed bin into -inf or NaN; it is
// smoothed as the silence floor instead.
TEST(CepstralSmoothTest, MinusInfinityIsSmoothedAsTheSilenceFloor) {
    for (int n : {256, 65536}) {
        SCOPED_TRACE(n);
        std::vector<float> floored = RandomSpectrum(n, 6u);
        std::vector<float> withInfinity = floored;
        for (int k = 0; k < n / 2; k += 7) {
            floored[k] = kSilenceDb;
            withInfinity[k] = -std::numeric_limits<float>::infinity();
        }
        const std::vector<float> expected = Smoothed(floored, n, 20.0);
        const std::vector<float> smoothed = Smoothed(withInfinity, n, 20.0);
        EXPECT_EQ(smoothed, expected);
        for (float v : smoothed) {
            ASSERT_TRUE(std::isfinite(v));
        }
    }
}

// Bin n/2, mirrored in as 0 dB, lifts the bins near it above the floor by up
// to 400 (K - 1) / n dB; the closed form has the same lift.
TEST(CepstralSmoothTest, AllSilentSpectrumFollowsTheClosedForm) {
    const int n = 512;
    const std::vector<float> silence(n / 2, kSilenceDb);
    const std::vector<double> expected = ClosedForm(silence, n, 30);
    const std::vector<float> smoothed = Smoothed(silence, n, 30.0);
    for (int k = 0; k < n / 2; ++k) {
        ASSERT_NEAR(smoothed[k], expected[k], 1e-3) << k;
    }
}

TEST(CepstralSmoothTest, UnalignedSpectrumGivesTheSameValues) {
    const int n = 1024;
    const std::vector<float> spectrum = RandomSpectrum(n, 8u);
    const std::vector<float> aligned = Smoothed(spectrum, n, 40.0);
    std::vector<float> buffer(n + 3, 0.0f);
    std::copy(spectrum.begin(), spectrum.end(), buffer.begin() + 3);
    CepstralSmooth(buffer.data() + 3, n, 40.0);
    EXPECT_TRUE(std::equal(aligned.begin(), aligned.end(), buffer.begin() + 3));
}

} // namespace
