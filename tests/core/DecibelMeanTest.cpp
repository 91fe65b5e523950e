// The mean of dB levels taken through products of powers, against levels
// worked out by hand and plain sums of logarithms.
#include "spectrum/DecibelMean.h"
#include "spectrum/Decibels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(DecibelMean, MeansOfLevelsWorkedOutByHand) {
    DecibelMean mean;
    ASSERT_TRUE(mean.Reset(3));
    // Magnitudes 10 and 1000 are 20 and 60 dB: 40 dB. 1 is 0 dB in both
    // spectra. A silent bin is kSilenceDb, and 1e10 is 200 dB: 0 dB.
    mean.AddMagnitudes(std::vector<float>{10.0f, 1.0f, 0.0f}.data());
    mean.AddMagnitudes(std::vector<float>{1000.0f, 1.0f, 1e10f}.data());
    std::vector<float> levels(3);
    mean.Mean(levels.data());
    EXPECT_NEAR(levels[0], 40.0f, 1e-5);
    EXPECT_NEAR(levels[1], 0.0f, 1e-5);
    EXPECT_NEAR(levels[2], 0.0f, 1e-4);

    // Reset forgets what was added; a mean of nothing is silence.
    ASSERT_TRUE(mean.Reset(2));
    mean.Mean(levels.data());
    EXPECT_EQ(levels[0], kSilenceDb);
    mean.AddMagnitudes(std::vector<float>{0.0f, 1e-12f}.data()); // -240 dB is below the floor
    mean.Mean(levels.data());
    EXPECT_EQ(levels[0], kSilenceDb);
    EXPECT_EQ(levels[1], kSilenceDb);
}

TEST(DecibelMean, ManyFramesOfExtremeLevels) {
    // Products that would leave the double range within a few frames, over
    // a hundred thousand frames, and a bin that alternates across 800 dB.
    DecibelMean mean;
    ASSERT_TRUE(mean.Reset(3));
    const float loud = 3e30f;  // 609.5 dB
    const float quiet = 3e-9f; // -170.5 dB
    long double sum = 0.0L;
    for (int f = 0; f < 100000; ++f) {
        const float alternating = f % 3 == 0 ? loud : quiet;
        sum += 20.0L * std::log10(static_cast<long double>(alternating));
        mean.AddMagnitudes(std::vector<float>{loud, quiet, alternating}.data());
    }
    std::vector<float> levels(3);
    mean.Mean(levels.data());
    EXPECT_NEAR(levels[0], 20.0 * std::log10(double(loud)), 1e-4);
    EXPECT_NEAR(levels[1], 20.0 * std::log10(double(quiet)), 1e-4);
    EXPECT_NEAR(levels[2], double(sum / 100000), 1e-4);
}
