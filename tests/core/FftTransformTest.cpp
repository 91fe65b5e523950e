// The two transform layers, each against a plain DFT summed in long double,
// and against each other at the lengths where the spectral routines hand over
// from one to the other.
#include "spectrum/RadixFft.h"
#include "spectrum/TolqFft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr long double kTwoPi = 6.283185307179586476925286766559L;
constexpr float kSentinel = -12345.0f;

struct Spectrum {
    std::vector<long double> re;
    std::vector<long double> im;
};

// sum over t of x[t] e^(sign 2 pi i k t / n) for k = 0 .. n - 1, scaled.
Spectrum NaiveDft(const std::vector<float>& re, const std::vector<float>& im, int sign,
                  long double scale) {
    const std::size_t n = re.size();
    std::vector<long double> cosines(n);
    std::vector<long double> sines(n);
    for (std::size_t i = 0; i < n; ++i) {
        cosines[i] = std::cos(kTwoPi * i / n);
        sines[i] = sign * std::sin(kTwoPi * i / n);
    }
    Spectrum out{std::vector<long double>(n), std::vector<long double>(n)};
    for (std::size_t k = 0; k < n; ++k) {
        long double sumRe = 0.0L;
        long double sumIm = 0.0L;
        for (std::size_t t = 0; t < n; ++t) {
            const std::size_t i = (k * t) % n;
            sumRe += re[t] * cosines[i] - im[t] * sines[i];
            sumIm += re[t] * sines[i] + im[t] * cosines[i];
        }
        out.re[k] = sumRe * scale;
        out.im[k] = sumIm * scale;
    }
    return out;
}

std::vector<float> RandomValues(std::size_t n, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> values(n);
    for (float& v : values) {
        v = value(engine);
    }
    return values;
}

// Bins 0 .. n/2 - 1 of a conjugate-symmetric spectrum as (re, im) pairs: bin
// 0 real, the rest random; bin n/2 is 0 by the layout.
std::vector<float> RandomHalfSpectrum(int n, unsigned seed) {
    std::vector<float> pairs = RandomValues(static_cast<std::size_t>(n), seed);
    pairs[1] = 0.0f;
    return pairs;
}

// The same spectrum over all n bins, as split arrays.
void MirrorHalfSpectrum(const std::vector<float>& pairs, std::vector<float>& re,
                        std::vector<float>& im) {
    const int n = static_cast<int>(pairs.size());
    re.assign(n, 0.0f);
    im.assign(n, 0.0f);
    for (int k = 0; k < n / 2; ++k) {
        re[k] = pairs[2 * k];
        im[k] = pairs[2 * k + 1];
        if (k > 0) {
            re[n - k] = pairs[2 * k];
            im[n - k] = -pairs[2 * k + 1];
        }
    }
}

// A transform in float is good to a few float epsilons of the typical bin,
// whatever the length; a wrong bin, sign or scale is off by the bin itself.
constexpr double kRelativeTolerance = 4e-6;

double Rms(const std::vector<long double>& a, const std::vector<long double>& b, int count) {
    long double sum = 0.0L;
    for (int k = 0; k < count; ++k) {
        sum += a[k] * a[k] + b[k] * b[k];
    }
    return static_cast<double>(std::sqrt(sum / count));
}

void ExpectPackedBinsNear(const std::vector<float>& packed, const Spectrum& reference, int n) {
    const double tolerance = kRelativeTolerance * Rms(reference.re, reference.im, n / 2);
    for (int k = 0; k < n / 2; ++k) {
        ASSERT_NEAR(packed[2 * k], static_cast<double>(reference.re[k]), tolerance) << "bin " << k;
        ASSERT_NEAR(packed[2 * k + 1], static_cast<double>(reference.im[k]), tolerance)
            << "bin " << k;
    }
}

void ExpectSplitNear(const std::vector<float>& re, const std::vector<float>& im,
                     const Spectrum& reference, int count) {
    const double tolerance = kRelativeTolerance * Rms(reference.re, reference.im, count);
    for (int k = 0; k < count; ++k) {
        ASSERT_NEAR(re[k], static_cast<double>(reference.re[k]), tolerance) << "index " << k;
        ASSERT_NEAR(im[k], static_cast<double>(reference.im[k]), tolerance) << "index " << k;
    }
}

// -------------------------------------------------------------------------
// cfast and cfsst: packed layout, scaling, alignment, threads

TEST(FftLibraryTest, ForwardLeavesUnscaledBinsAsPairsAndNothingPastTheFrame) {
    for (int n : {2, 4, 8, 16, 64, 512, 2048}) {
        SCOPED_TRACE(n);
        const std::vector<float> x = RandomValues(static_cast<std::size_t>(n), 10u + n);
        const Spectrum reference = NaiveDft(x, std::vector<float>(n, 0.0f), -1, 1.0L);
        std::vector<float> data = x;
        data.push_back(kSentinel);
        data.push_back(kSentinel);
        cfast(data.data(), n);
        ExpectPackedBinsNear(data, reference, n);
        EXPECT_EQ(data[n], kSentinel);
        EXPECT_EQ(data[n + 1], kSentinel);
    }
}

// A signal alternating +1, -1 has all its energy in bin n/2, which the layout
// drops: every kept bin is 0, and bin 0's imaginary part stays 0 rather than
// carrying bin n/2 as packed real formats do.
TEST(FftLibraryTest, BinZeroKeepsItsOwnImaginaryPart) {
    const int n = 32;
    std::vector<float> data(n);
    for (int t = 0; t < n; ++t) {
        data[t] = (t % 2 == 0) ? 1.0f : -1.0f;
    }
    cfast(data.data(), n);
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(data[i], 0.0f, 1e-5f) << "index " << i;
    }
}

TEST(FftLibraryTest, InverseGivesScaledRealValues) {
    for (int n : {2, 4, 16, 128, 1024}) {
        SCOPED_TRACE(n);
        const std::vector<float> pairs = RandomHalfSpectrum(n, 20u + n);
        std::vector<float> re;
        std::vector<float> im;
        MirrorHalfSpectrum(pairs, re, im);
        const Spectrum reference = NaiveDft(re, im, +1, 1.0L / n);
        std::vector<float> data = pairs;
        data.push_back(kSentinel);
        cfsst(data.data(), n);
        const double tolerance = kRelativeTolerance * Rms(reference.re, reference.im, n);
        for (int t = 0; t < n; ++t) {
            ASSERT_NEAR(data[t], static_cast<double>(reference.re[t]), tolerance) << "t " << t;
        }
        EXPECT_EQ(data[n], kSentinel);
    }
}

TEST(FftLibraryTest, InverseTakesBinZeroAsReal) {
    const int n = 64;
    std::vector<float> clean = RandomHalfSpectrum(n, 7u);
    std::vector<float> stray = clean;
    stray[1] = 3.5f;
    cfsst(clean.data(), n);
    cfsst(stray.data(), n);
    EXPECT_EQ(stray, clean);
}

// A sonagram column sits at any float offset of its buffer; it must give the
// same values as an aligned frame, bit for bit.
TEST(FftLibraryTest, UnalignedFramesGiveTheSameValues) {
    const int n = 1024;
    const std::vector<float> x = RandomValues(static_cast<std::size_t>(n), 3u);
    std::vector<float> aligned = x;
    cfast(aligned.data(), n);
    for (int offset = 1; offset < 4; ++offset) {
        SCOPED_TRACE(offset);
        std::vector<float> buffer(n + offset, kSentinel);
        std::copy(x.begin(), x.end(), buffer.begin() + offset);
        cfast(buffer.data() + offset, n);
        EXPECT_TRUE(std::equal(aligned.begin(), aligned.end(), buffer.begin() + offset));
        cfsst(buffer.data() + offset, n);
        std::vector<float> inverse = aligned;
        cfsst(inverse.data(), n);
        EXPECT_TRUE(std::equal(inverse.begin(), inverse.end(), buffer.begin() + offset));
        EXPECT_EQ(buffer[0], kSentinel);
    }
}

TEST(FftLibraryTest, OddOrShortLengthsLeaveDataUnchanged) {
    for (int n : {-4, 0, 1, 3, 15}) {
        SCOPED_TRACE(n);
        std::vector<float> data = RandomValues(16, 5u);
        const std::vector<float> before = data;
        cfast(data.data(), n);
        EXPECT_EQ(data, before);
        cfsst(data.data(), n);
        EXPECT_EQ(data, before);
    }
}

// Threads that ask for lengths nobody has planned yet plan them at the same
// time; each must still get its own correct bins.
TEST(FftLibraryTest, ThreadsPlanAndTransformAtTheSameTime) {
    const std::vector<int> lengths = {96, 160, 224, 288, 352, 416};
    std::vector<std::vector<float>> inputs;
    std::vector<Spectrum> references;
    for (int n : lengths) {
        inputs.push_back(RandomValues(static_cast<std::size_t>(n), 40u + n));
        references.push_back(NaiveDft(inputs.back(), std::vector<float>(n, 0.0f), -1, 1.0L));
    }
    std::vector<std::vector<float>> results(lengths.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        threads.emplace_back([&, i] {
            for (int repeat = 0; repeat < 50; ++repeat) {
                results[i] = inputs[i];
                cfast(results[i].data(), lengths[i]);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        SCOPED_TRACE(lengths[i]);
        ExpectPackedBinsNear(results[i], references[i], lengths[i]);
    }
}

// n times the circular autocorrelation, against the plain sum, for a frame
// lying aligned and one float off; the alternating signal has all its energy
// in the bin at n/2.
TEST(FftLibraryTest, AutocorrelationIsTheCircularSumTimesN) {
    for (int n : {2, 8, 64, 1024}) {
        for (int offset = 0; offset < 4; ++offset) {
            SCOPED_TRACE(std::to_string(n) + " offset " + std::to_string(offset));
            std::vector<float> x = RandomValues(static_cast<std::size_t>(n), 30u + n);
            for (int t = 0; offset >= 2 && t < n; ++t)
                x[t] = (t % 2 == 0) ? 1.0f : -1.0f;
            std::vector<float> buffer(n + 2, kSentinel);
            std::copy(x.begin(), x.end(), buffer.begin() + offset % 2);
            cfautocorr(buffer.data() + offset % 2, n);
            const double scale = kRelativeTolerance * n * n;
            for (int lag = 0; lag < n; ++lag) {
                long double sum = 0.0L;
                for (int t = 0; t < n; ++t)
                    sum += static_cast<long double>(x[t]) * x[(t + lag) % n];
                ASSERT_NEAR(buffer[offset % 2 + lag], static_cast<double>(n * sum), scale);
            }
            EXPECT_EQ(buffer[offset % 2 + n], kSentinel);
        }
    }
}

// -------------------------------------------------------------------------
// ForwardFft and InverseFft: split arrays, radix-2

TEST(FftRadixTest, ForwardGivesUnscaledBins) {
    for (int n : {1, 2, 4, 8, 32, 256, 1024}) {
        SCOPED_TRACE(n);
        std::vector<float> re = RandomValues(static_cast<std::size_t>(n), 60u + n);
        std::vector<float> im = RandomValues(static_cast<std::size_t>(n), 70u + n);
        const Spectrum reference = NaiveDft(re, im, -1, 1.0L);
        ForwardFft(re.data(), im.data(), n);
        ExpectSplitNear(re, im, reference, n);
    }
}

TEST(FftRadixTest, InverseScalesByOneOverN) {
    for (int n : {1, 2, 4, 16, 128, 1024}) {
        SCOPED_TRACE(n);
        std::vector<float> re = RandomValues(static_cast<std::size_t>(n), 80u + n);
        std::vector<float> im = RandomValues(static_cast<std::size_t>(n), 90u + n);
        const Spectrum reference = NaiveDft(re, im, +1, 1.0L / n);
        InverseFft(re.data(), im.data(), n);
        ExpectSplitNear(re, im, reference, n);
    }
}

TEST(FftRadixTest, InverseUndoesForward) {
    const int n = 8192;
    const std::vector<float> re0 = RandomValues(static_cast<std::size_t>(n), 11u);
    const std::vector<float> im0 = RandomValues(static_cast<std::size_t>(n), 12u);
    std::vector<float> re = re0;
    std::vector<float> im = im0;
    ForwardFft(re.data(), im.data(), n);
    InverseFft(re.data(), im.data(), n);
    for (int t = 0; t < n; ++t) {
        ASSERT_NEAR(re[t], re0[t], 1e-5f) << t;
        ASSERT_NEAR(im[t], im0[t], 1e-5f) << t;
    }
}

TEST(FftRadixTest, OtherLengthsLeaveArraysUnchanged) {
    for (int n : {-8, 0, 3, 12, 1000}) {
        SCOPED_TRACE(n);
        std::vector<float> re = RandomValues(1024, 13u);
        std::vector<float> im = RandomValues(1024, 14u);
        const std::vector<float> re0 = re;
        const std::vector<float> im0 = im;
        ForwardFft(re.data(), im.data(), n);
        InverseFft(re.data(), im.data(), n);
        EXPECT_EQ(re, re0);
        EXPECT_EQ(im, im0);
    }
}

// -------------------------------------------------------------------------
// The two layers against each other where the spectral routines switch

double RmsOf(const std::vector<float>& values) {
    double sum = 0.0;
    for (float v : values) {
        sum += static_cast<double>(v) * v;
    }
    return std::sqrt(sum / values.size());
}

TEST(FftLayersTest, RadixForwardMatchesFftwAt32768And65536) {
    for (int n : {32768, 65536}) {
        SCOPED_TRACE(n);
        const std::vector<float> x = RandomValues(static_cast<std::size_t>(n), 100u + n);
        std::vector<float> packed = x;
        cfast(packed.data(), n);
        std::vector<float> re = x;
        std::vector<float> im(n, 0.0f);
        ForwardFft(re.data(), im.data(), n);
        const double tolerance = kRelativeTolerance * RmsOf(packed);
        for (int k = 0; k < n / 2; ++k) {
            ASSERT_NEAR(re[k], packed[2 * k], tolerance) << "bin " << k;
            ASSERT_NEAR(im[k], packed[2 * k + 1], tolerance) << "bin " << k;
        }
    }
}

TEST(FftLayersTest, RadixInverseMatchesFftwAt32768And65536) {
    for (int n : {32768, 65536}) {
        SCOPED_TRACE(n);
        const std::vector<float> pairs = RandomHalfSpectrum(n, 200u + n);
        std::vector<float> values = pairs;
        cfsst(values.data(), n);
        std::vector<float> re;
        std::vector<float> im;
        MirrorHalfSpectrum(pairs, re, im);
        InverseFft(re.data(), im.data(), n);
        const double tolerance = kRelativeTolerance * RmsOf(values);
        for (int t = 0; t < n; ++t) {
            ASSERT_NEAR(re[t], values[t], tolerance) << "t " << t;
            ASSERT_NEAR(im[t], 0.0f, tolerance) << "t " << t;
        }
    }
}

} // namespace
