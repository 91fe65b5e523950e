#include "drawing/NoteText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

// The frequency that lies the given number of cents from a.
double Cents(double a, double cents) {
    return a * std::pow(2.0, cents / 1200.0);
}

} // namespace

TEST(NoteText, TheReferencePitchInBothNotations) {
    EXPECT_EQ(NoteText(440, 440, 0), "A4+0Cent");
    EXPECT_EQ(NoteText(440, 440, 1), "A1+0Cent");
    EXPECT_EQ(NoteText(415, 415, 0), "A4+0Cent");
    // Octaves of the reference.
    EXPECT_EQ(NoteText(880, 440, 0), "A5+0Cent");
    EXPECT_EQ(NoteText(220, 440, 0), "A3+0Cent");
    EXPECT_EQ(NoteText(110, 440, 1), "A-1+0Cent");
    EXPECT_EQ(NoteText(27.5, 440, 0), "A0+0Cent");
}

TEST(NoteText, NamesOfTheStatedFrequencies) {
    const std::string c4 = NoteText(440 * std::pow(2.0, -9.0 / 12.0), 440, 0);
    ASSERT_EQ(c4.substr(0, 2), "C4");
    EXPECT_LT(std::fabs(std::stod(c4.substr(2))), 1e-9);
    EXPECT_EQ(NoteText(261.63, 440, 0), "C4+0.029Cent");
    EXPECT_EQ(NoteText(466.16, 440, 0), "Bb4-0.014Cent");
    EXPECT_EQ(NoteText(466.16, 440, 1), "B1-0.014Cent");
    EXPECT_EQ(NoteText(493.88, 440, 0), "B4-0.012Cent");
    EXPECT_EQ(NoteText(493.88, 440, 1), "H1-0.012Cent");
}

TEST(NoteText, EveryNoteNameOfTheOctave) {
    const char* us[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "Bb", "B"};
    const char* german[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "B", "H"};
    for (int k = 0; k < 12; ++k) {
        // 10 cents above each semitone of the octave from C4 (C1 in German notation).
        const double f = Cents(440, 100.0 * (k - 9) + 10);
        EXPECT_EQ(NoteText(f, 440, 0), std::string(us[k]) + "4+10Cent") << k;
        EXPECT_EQ(NoteText(f, 440, 1), std::string(german[k]) + "1+10Cent") << k;
        EXPECT_EQ(NoteText(f, 440, 7), std::string(german[k]) + "1+10Cent") << k;
        EXPECT_EQ(NoteText(f, 440, -1), std::string(german[k]) + "1+10Cent") << k;
    }
}

TEST(NoteText, DeviationHasASignAndTwoSignificantDigits) {
    EXPECT_EQ(NoteText(Cents(440, 12.3), 440, 0), "A4+12Cent");
    EXPECT_EQ(NoteText(Cents(440, 3.46), 440, 0), "A4+3.5Cent");
    EXPECT_EQ(NoteText(Cents(440, -0.04), 440, 0), "A4-0.04Cent");
    EXPECT_EQ(NoteText(Cents(440, -12.3), 440, 0), "A4-12Cent");
    EXPECT_EQ(NoteText(Cents(440, 45), 440, 0), "A4+45Cent");
}

TEST(NoteText, NearestNoteUpToHalfASemitone) {
    EXPECT_EQ(NoteText(Cents(440, 49.9), 440, 0), "A4+50Cent");
    EXPECT_EQ(NoteText(Cents(440, 50.1), 440, 0), "Bb4-50Cent");
    EXPECT_EQ(NoteText(Cents(440, -49.9), 440, 0), "A4-50Cent");
    EXPECT_EQ(NoteText(Cents(440, -50.1), 440, 0), "G#4+50Cent");
    // This frequency lies exactly 50 cents above A4 in double arithmetic; a
    // pitch halfway between two notes belongs to the upper one.
    EXPECT_EQ(NoteText(452.8929841231364, 440, 0), "Bb4-50Cent");
    EXPECT_EQ(NoteText(452.8929841231364, 440, 1), "B1-50Cent");
}

TEST(NoteText, TheOctaveChangesAtC) {
    // B4 + 40 cents is still B4; 10 cents below C5 is already in octave 5.
    EXPECT_EQ(NoteText(Cents(440, 240), 440, 0), "B4+40Cent");
    EXPECT_EQ(NoteText(Cents(440, 290), 440, 0), "C5-10Cent");
    EXPECT_EQ(NoteText(Cents(440, 290), 440, 1), "C2-10Cent");
    EXPECT_EQ(NoteText(Cents(440, -910), 440, 0), "C4-10Cent");
    EXPECT_EQ(NoteText(Cents(440, -960), 440, 0), "B3+40Cent");
}

TEST(NoteText, EmptyWithoutAPositiveFrequencyAndReference) {
    EXPECT_EQ(NoteText(0, 440, 0), "");
    EXPECT_EQ(NoteText(-440, 440, 0), "");
    EXPECT_EQ(NoteText(440, 0, 0), "");
    EXPECT_EQ(NoteText(440, -440, 1), "");
}

TEST(NoteText, EmptyBelowTheFirstOctave) {
    // The lowest note with a positive octave begins 50 cents below C of
    // octave 1, at 2^(-14150/1200) x a, about 0.000282 x a.
    EXPECT_EQ(NoteText(0.00028 * 440, 440, 0), "");
    EXPECT_EQ(NoteText(0.000283 * 440, 440, 0), "C-7-44Cent");
    EXPECT_EQ(NoteText(0.000283 * 440, 440, 1), "C-10-44Cent");
    EXPECT_EQ(NoteText(1e-300, 440, 0), "");
}

TEST(NoteText, EmptyForNonFiniteOrUnrepresentableValues) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(NoteText(nan, 440, 0), "");
    EXPECT_EQ(NoteText(440, nan, 0), "");
    EXPECT_EQ(NoteText(inf, 440, 0), "");
    EXPECT_EQ(NoteText(440, inf, 0), "");
    // The ratio overflows to infinity or underflows to zero.
    EXPECT_EQ(NoteText(1e300, 1e-300, 0), "");
    EXPECT_EQ(NoteText(1e-300, 1e300, 0), "");
    // Huge but finite ratios still have a note: 2^1000 x a is an A.
    EXPECT_EQ(NoteText(std::ldexp(440.0, 1000), 440, 0), "A1004+0Cent");
}
