// The spectrum pane's arithmetic and texts: bins and levels of a drawing, the
// cursor, the selection box, peak search, and the info and data-log texts on
// spectra computed from files made here.
#include "support/AnalysisFiles.h"

#include "drawing/TimeText.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/FftScale.h"
#include "spectrum/CSfFft.h"
#include "spectrum/Decibels.h"
#include "spectrum/SpectrumDisplay.h"
#include "spectrum/SpectrumPeaks.h"
#include "spectrum/SpectrumTexts.h"
#include "spectrum/TaskSpectrum.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const PlotRect kPlot{28, 4, 428, 304};

SfFftParam WithSpectrum(std::vector<float> values, int lfft) {
    SfFftParam p;
    p.Lfft = lfft;
    p.results.spectrum = std::make_shared<std::vector<float>>(std::move(values));
    return p;
}

} // namespace

TEST(SpectrumDisplay, FrequencyRangeSnapsToWholeBins) {
    struct Case {
        uint32_t xScale;
        float fmin, fmax;
        int i0, i1;
        float snappedMin, snappedMax;
    };
    // 8000 Hz, Lfft 256: bins of 31.25 Hz, 128 of them.
    const Case cases[] = {
        {kScaleAuto, 500, 600, 0, 128, 0, 4000},
        {kScaleLin, 1000, 2000, 32, 64, 1000, 2000},
        {kScaleLin, 1010, 1030, 32, 33, 1000, 1031.25f}, // narrower than one bin
        {kScaleLin, 1000, 1000, 32, 33, 1000, 1031.25f},
        {kScaleLin, 3000, 5000, 96, 128, 3000, 4000}, // past half the rate
        {kScaleLin, 9000, 9000, 127, 128, 3968.75f, 4000},
    };
    for (const Case& c : cases) {
        SfFftParam p = WithSpectrum(std::vector<float>(128, 1.0f), 256);
        p.Fmin = c.fmin;
        p.Fmax = c.fmax;
        const BinRange b = SpectrumBins(p, c.xScale, 8000);
        EXPECT_EQ(b.i0, c.i0) << c.fmin;
        EXPECT_EQ(b.i1, c.i1) << c.fmin;
        EXPECT_EQ(b.count, c.i1 - c.i0) << c.fmin;
        EXPECT_EQ(p.Fmin, c.snappedMin) << c.fmin;
        EXPECT_EQ(p.Fmax, c.snappedMax) << c.fmin;
    }
}

TEST(SpectrumDisplay, OneBinBandStillDraws) {
    SfFftParam p = WithSpectrum(std::vector<float>(128, -30.0f), 256);
    p.Fmin = 1010;
    p.Fmax = 1030;
    (*p.results.spectrum)[32] = -20.0f;
    const SpectrumGeometry g = LayOutSpectrum(p, kScaleLin, kScaleLog | kScaleAuto, 8000, kPlot);
    ASSERT_EQ(g.bins.count, 1);
    EXPECT_EQ(g.levels.lo, -20.0f * 0.99f);
    EXPECT_EQ(g.levels.hi, -20.0f * 1.01f);
    EXPECT_EQ(SpectrumCurve(*p.results.spectrum, g).size(), 1u);
    EXPECT_EQ(SpectrumCursorX(g, 32), 28);
    for (int x : {28, 200, 427}) {
        const auto place = PlaceSpectrumCursor(g, x, 100);
        ASSERT_TRUE(place) << x;
        EXPECT_EQ(place->bin, 32) << x;
        EXPECT_EQ(place->x, 28) << x;
    }
}

TEST(SpectrumDisplay, RelativeLevelsAreLoweredOnce) {
    std::vector<float> values(128);
    for (int i = 0; i < 128; ++i)
        values[i] = -float(i % 17);
    values[40] = 12.5f;  // the loudest shown bin
    values[100] = 30.0f; // louder, but above the shown band
    SfFftParam p = WithSpectrum(values, 256);
    p.Fmin = 1000;
    p.Fmax = 2000; // bins 32 .. 63
    p.Floor = 0;
    p.Range = 60;
    const SpectrumGeometry first = LayOutSpectrum(p, kScaleLin, kScaleLog, 8000, kPlot);
    EXPECT_EQ(first.levels.lo, -60.0f);
    EXPECT_EQ(first.levels.hi, 0.0f);
    EXPECT_EQ(p.Floor, -60);
    const std::vector<float>& s = *p.results.spectrum;
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(s[i], i >= 32 && i < 64 ? values[i] - 12.5f : values[i]) << i;

    const std::vector<float> once = s;
    const SpectrumGeometry second = LayOutSpectrum(p, kScaleLin, kScaleLog, 8000, kPlot);
    EXPECT_EQ(s, once);
    EXPECT_EQ(second.levels.lo, -60.0f);
    EXPECT_EQ(second.levels.hi, 0.0f);
}

TEST(SpectrumDisplay, AutoLevelsOfFlatAndNarrowSpectra) {
    struct Case {
        std::vector<float> values;
        float lo, hi;
        int floor, range;
    };
    const Case cases[] = {
        {std::vector<float>(128, 50.0f), 50.0f * 0.99f, 50.0f * 1.01f, 49, 1},
        {std::vector<float>(128, 2.0f), 2.0f * 0.99f, 2.0f * 1.01f, 1, 0},
        {std::vector<float>(128, 0.0f), 0.0f, 0.0f, 0, 0},
        {{10.25f, 10.5f, 10.75f, 10.5f}, 10.25f, 10.75f, 10, 0},
        {{-40.5f, -3.0f, -20.0f, -7.0f}, -40.5f, -3.0f, -40, 37},
    };
    for (const Case& c : cases) {
        const int lfft = int(2 * c.values.size());
        SfFftParam p = WithSpectrum(c.values, lfft);
        const SpectrumGeometry g =
            LayOutSpectrum(p, kScaleAuto, kScaleAuto | kScaleLin, lfft * 10.0, kPlot);
        EXPECT_EQ(g.levels.lo, c.lo) << c.values[0];
        EXPECT_EQ(g.levels.hi, c.hi) << c.values[0];
        EXPECT_EQ(p.Floor, c.floor) << c.values[0];
        EXPECT_EQ(p.Range, c.range) << c.values[0];
        const std::vector<PlotPoint> curve = SpectrumCurve(*p.results.spectrum, g);
        ASSERT_EQ(curve.size(), c.values.size());
        for (const PlotPoint& point : curve) {
            EXPECT_GE(point.y, kPlot.top);
            EXPECT_LE(point.y, kPlot.bottom);
        }
    }
}

TEST(SpectrumDisplay, BoxesComeBackOnTheDraggedPixels) {
    struct Levels {
        std::vector<float> values;
        uint32_t yScale;
        int floor, range;
    };
    const Levels levels[] = {
        {{10.25f, 10.5f, 10.75f, 10.5f}, kScaleAuto | kScaleLog, 0, 0}, // Range stays 0
        {{-3.7f, -80.2f, -41.0f, -12.0f}, kScaleAuto | kScaleLog, 0, 0},
        {{0.01f, 0.02f, 0.05f, 0.03f}, kScaleAuto | kScaleLin, 0, 0},
        {{0.0f, 0.0f, 0.0f, 0.0f}, kScaleLog, -90, 70},
    };
    const PlotPoint drags[][2] = {{{50, 20}, {300, 250}},
                                  {{300, 250}, {50, 20}},
                                  {{28, 4}, {428, 304}},
                                  {{77, 77}, {77, 77}}};
    for (const Levels& l : levels) {
        SfFftParam p = WithSpectrum(l.values, 8);
        p.Floor = l.floor;
        p.Range = l.range;
        const SpectrumGeometry g = LayOutSpectrum(p, kScaleAuto, l.yScale, 8000, kPlot);
        for (const auto& drag : drags) {
            StoreSpectrumBox(p, g, drag[0], drag[1]);
            EXPECT_TRUE(p.view.viewFlags & kFftBoxDefined);
            EXPECT_GE(p.view.boxLevelHigh, p.view.boxLevelLow);
            const PlotRect box = SpectrumBoxPixels(p, g);
            EXPECT_EQ(box.left, std::min(drag[0].x, drag[1].x)) << l.values[0];
            EXPECT_EQ(box.right, std::max(drag[0].x, drag[1].x)) << l.values[0];
            EXPECT_EQ(box.top, std::min(drag[0].y, drag[1].y)) << l.values[0];
            EXPECT_EQ(box.bottom, std::max(drag[0].y, drag[1].y)) << l.values[0];
        }
        // The whole plot spans the levels drawn.
        StoreSpectrumBox(p, g, {28, 4}, {428, 304});
        EXPECT_FLOAT_EQ(p.view.boxLevelLow, g.levels.lo);
        EXPECT_FLOAT_EQ(p.view.boxLevelHigh, g.levels.hi);
        EXPECT_EQ(p.view.boxFreqLow, 0.0f);
        EXPECT_EQ(p.view.boxFreqHigh, 4000.0f);
    }
}

TEST(SpectrumDisplay, ClicksPlaceTheCursorOnlyInsideThePlot) {
    SfFftParam p = WithSpectrum(std::vector<float>(128, 1.0f), 256);
    p.Fmin = 1000;
    p.Fmax = 2000; // 32 bins over 400 pixels: 12.5 pixels each
    const SpectrumGeometry g = LayOutSpectrum(p, kScaleLin, kScaleLog | kScaleAuto, 8000, kPlot);
    struct Case {
        int x, y;
        bool placed;
        int bin, cursorX;
    };
    const Case cases[] = {
        {28, 100, true, 32, 28},   {40, 100, true, 32, 28}, {41, 100, true, 33, 40},
        {427, 100, true, 63, 415}, {10, 100, false, 0, 0},  {428, 100, false, 0, 0},
        {200, 2, false, 0, 0},     {200, 304, false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto place = PlaceSpectrumCursor(g, c.x, c.y);
        ASSERT_EQ(bool(place), c.placed) << c.x << "," << c.y;
        const PlotPoint anchor = BoxAnchor(g, c.x, c.y);
        if (place) {
            EXPECT_EQ(place->bin, c.bin) << c.x;
            EXPECT_EQ(place->x, c.cursorX) << c.x;
            EXPECT_EQ(SpectrumCursorX(g, c.bin), c.cursorX) << c.x;
            EXPECT_EQ(anchor.x, c.x);
            EXPECT_EQ(anchor.y, c.y);
        } else {
            EXPECT_EQ(anchor.x, 28);
            EXPECT_EQ(anchor.y, 4);
        }
    }
}

TEST(SpectrumDisplay, HarmonicMarksStopBelowFmax) {
    SfFftParam p = WithSpectrum(std::vector<float>(128, 1.0f), 256);
    const SpectrumGeometry g = LayOutSpectrum(p, kScaleAuto, kScaleAuto, 8000, kPlot);
    EXPECT_EQ(HarmonicMarkXs(p, g, 1000.0), (std::vector<int>{128, 228, 328}));
    EXPECT_EQ(HarmonicMarkXs(p, g, 1500.0), (std::vector<int>{178, 328}));
    EXPECT_TRUE(HarmonicMarkXs(p, g, 0.0).empty());
    EXPECT_TRUE(HarmonicMarkXs(p, g, 4000.0).empty());
}

TEST(SpectrumDisplay, ParabolicOffsetOfSampledParabolas) {
    // -(x - a)^2 sampled at -1, 0 and 1 has its vertex at a.
    const auto parabola = [](double a) {
        return std::vector<float>{float(-(1 + a) * (1 + a)), float(-a * a),
                                  float(-(1 - a) * (1 - a)), -9.0f};
    };
    struct Case {
        std::vector<float> v;
        int i;
        double offset;
    };
    const Case cases[] = {
        {parabola(0.3), 1, 0.3},     {parabola(-0.45), 1, -0.45},
        {{1, 2, 0, 0}, 1, -1.0 / 6}, {{0, 2, 1, 0}, 1, 1.0 / 6},
        {{1, 2, 1, 0}, 1, 0.0},      {{3, 2, 1, 0}, 1, 0.0}, // falling: no peak
        {{1, 1, 1, 0}, 1, 0.0},                              // flat
        {{5, 2, 1, 0}, 0, 0.0},                              // no bin below
        {{0, 1, 2, 5}, 3, 0.0},                              // no bin above
        {{0, 2, 1, 0}, -1, 0.0},                             // off the array
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ParabolicOffset(c.v, c.i), c.offset, 1e-6) << c.v[0] << " at " << c.i;
}

TEST(SpectrumDisplay, CursorKeys) {
    // Peaks at 10 (-50, under the drawn floor), 20 and 40; shown bins 5 .. 59.
    std::vector<float> values(64, -80.0f);
    values[10] = -50.0f;
    values[20] = -30.0f;
    values[40] = -20.0f;
    values[59] = -10.0f; // at the upper edge: no neighbour within the band
    SfFftParam p = WithSpectrum(values, 128);
    p.Fmin = 5 * 62.5f;
    p.Fmax = 60 * 62.5f;
    p.Floor = -40;
    p.Range = 40;
    const SpectrumGeometry g = LayOutSpectrum(p, kScaleLin, kScaleLog, 8000, kPlot);
    ASSERT_EQ(g.bins.i0, 5);
    ASSERT_EQ(g.bins.i1, 60);
    struct Case {
        int bin;
        SpectrumKey key;
        int toBin;
        bool peakMode;
    };
    const Case cases[] = {
        {30, SpectrumKey::PeakLeft, 20, true},  {20, SpectrumKey::PeakLeft, 20, true},
        {30, SpectrumKey::PeakRight, 40, true}, {40, SpectrumKey::PeakRight, 40, true},
        {30, SpectrumKey::Left, 29, false},     {5, SpectrumKey::Left, 5, false},
        {58, SpectrumKey::Right, 59, false},    {59, SpectrumKey::Right, 59, false},
        {30, SpectrumKey::Home, 5, false},      {30, SpectrumKey::End, 59, false},
    };
    for (const Case& c : cases) {
        const SpectrumCursor to =
            StepSpectrumCursor({c.bin, 100, !c.peakMode, false}, c.key, *p.results.spectrum, g);
        EXPECT_EQ(to.bin, c.toBin) << c.bin << " key " << int(c.key);
        EXPECT_EQ(to.peakMode, c.peakMode) << c.bin << " key " << int(c.key);
    }
    SpectrumCursor marker{30, 6, false, false};
    marker = StepSpectrumCursor(marker, SpectrumKey::Up, *p.results.spectrum, g);
    EXPECT_EQ(marker.markerY, 4);
    marker = StepSpectrumCursor(marker, SpectrumKey::Up, *p.results.spectrum, g);
    EXPECT_EQ(marker.markerY, 4);
    marker = StepSpectrumCursor(marker, SpectrumKey::Harmonics, *p.results.spectrum, g);
    EXPECT_TRUE(marker.harmonics);
    EXPECT_EQ(marker.bin, 30);
}

TEST(SpectrumDisplay, PeaksOfAQuietLinearSpectrumAreFound) {
    // Magnitudes far below the dB Floor of the settings (70): the search looks
    // above the bottom of what is drawn.
    std::vector<float> values(64, 0.001f);
    values[12] = 0.5f;
    values[30] = 0.25f;
    SfFftParam p = WithSpectrum(values, 128);
    ASSERT_EQ(p.Floor, 70);
    const SpectrumGeometry g = LayOutSpectrum(p, kScaleAuto, kScaleAuto | kScaleLin, 8000, kPlot);
    EXPECT_EQ(
        StepSpectrumCursor({0, 0, false, false}, SpectrumKey::PeakRight, *p.results.spectrum, g)
            .bin,
        12);
    EXPECT_EQ(
        StepSpectrumCursor({63, 0, false, false}, SpectrumKey::PeakLeft, *p.results.spectrum, g)
            .bin,
        30);
}

TEST(SpectrumDisplay, PeakListIsTheCtrlRightWalk) {
    // Three peaks, a small one just above the drawn floor among them, on a
    // linear magnitude scale, and a two-bin plateau that is no peak.
    std::vector<float> values(64, 0.01f);
    values[5] = 0.3f;
    values[6] = 0.9f;
    values[7] = 0.5f;
    values[20] = 0.02f;
    values[40] = 0.6f;
    values[41] = 0.6f;
    values[50] = 0.7f;
    SfFftParam p = WithSpectrum(values, 128);
    const SpectrumGeometry g = LayOutSpectrum(p, kScaleAuto, kScaleAuto | kScaleLin, 8000, kPlot);
    const double binHz = 8000.0 / 128;
    const auto peaks = ListSpectrumPeaks(values, g.bins, g.levels.lo, binHz);

    std::vector<int> walk;
    SpectrumCursor cursor{g.bins.i0, 0, false, false};
    for (;;) {
        const SpectrumCursor next = StepSpectrumCursor(cursor, SpectrumKey::PeakRight, values, g);
        if (next.bin == cursor.bin)
            break;
        walk.push_back(next.bin);
        cursor = next;
    }
    ASSERT_EQ(peaks.size(), walk.size());
    for (size_t i = 0; i < peaks.size(); ++i) {
        EXPECT_EQ(peaks[i].bin, walk[i]);
        EXPECT_EQ(peaks[i].level, values[walk[i]]);
        EXPECT_DOUBLE_EQ(peaks[i].frequencyHz,
                         (walk[i] + ParabolicOffset(values, walk[i])) * binHz);
    }
    EXPECT_EQ(walk, (std::vector<int>{6, 20, 50}));
    EXPECT_GT(peaks[0].frequencyHz, 6 * binHz); // pulled toward the higher neighbour
    EXPECT_EQ(ListSpectrumPeaks(values, g.bins, g.levels.lo, binHz, 2).size(), 2u);
    EXPECT_TRUE(ListSpectrumPeaks(values, g.bins, 1.0f, binHz).empty());
    EXPECT_EQ(HighestSpectrumPeak(values, g.bins, g.levels.lo, binHz)->bin, 6);
    EXPECT_FALSE(HighestSpectrumPeak(values, g.bins, 1.0f, binHz));
}

namespace {

class SpectrumTexts : public ::testing::Test {
protected:
    int screenWidth = 1024; // the width the analyses are sized by

    std::unique_ptr<CSfFft> Compute(CSfHead& head, uint32_t start, int lfft, uint32_t yScale) {
        settings.Fft().Lfft = lfft;
        settings.Fft().Lwdw = lfft;
        settings.Fft().Shift = lfft;
        settings.Fft().IWin = 2; // Hanning
        settings.SetYScale(yScale);
        SetHeadTask(head, start, start);
        auto item = std::make_unique<CSfFft>(head, settings);
        EXPECT_EQ(ComputeTaskSpectrum(*item, desktop, screenWidth), SpectrumOutcome::Computed);
        return item;
    }

    TempDir dir;
    MemoryStore store;
    CSfSettings settings{store};
    RecordingDesktop desktop;
};

} // namespace

TEST_F(SpectrumTexts, DataLogLineOfBin100) {
    auto head = OpenSamples(dir, std::vector<int32_t>(50000, 0), 44100);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 4410, 4096, kScaleAuto | kScaleLog);
    SfFftParam& p = item->Param();
    p.view.cursorBin = 100;
    const std::string path = head->Info().path;
    EXPECT_EQ(SpectrumLogLine(head->Info(), p, false),
              "FFT\t" + path + "\t0\t0.1\t0.1\t4096\t2\t1076.66\t-200\n");
    // A flat spectrum has no vertex to refine the frequency by.
    EXPECT_EQ(SpectrumLogLine(head->Info(), p, true), SpectrumLogLine(head->Info(), p, false));
}

TEST_F(SpectrumTexts, InfoTextOfASine) {
    // 1010 Hz at 8000 Hz, Lfft 256: between bins 32 (1000 Hz) and 33.
    auto head = OpenSamples(dir, Sine(4000, 1010, 8000, 10000), 8000);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 100, 256, kScaleAuto | kScaleLog);
    SfFftParam& p = item->Param();
    const SpectrumGeometry g =
        LayOutSpectrum(p, item->XScale(), item->YScale(), 8000, {28, 4, 528, 304});
    const SpectrumCursor peak =
        StepSpectrumCursor({36, 0, false, false}, SpectrumKey::PeakLeft, *p.results.spectrum, g);
    ASSERT_EQ(peak.bin, 32);
    ASSERT_TRUE(peak.peakMode);
    p.view.cursorBin = peak.bin;

    const std::string plain = SpectrumInfoText(head->Info(), p, item->YScale(), false, 440.0, 0);
    const std::string head1 = ShortPathText(head->Info().path, 25) + "\r\nFFT: 0.013s\r\n[0032] ";
    ASSERT_EQ(plain.substr(0, head1.size()), head1);
    const std::string rest = plain.substr(head1.size());
    ASSERT_EQ(rest.substr(0, 10), "1000Hz, 11") << rest;
    EXPECT_NEAR(std::stod(rest.substr(8)), (*p.results.spectrum)[32], 1e-3);
    EXPECT_EQ(rest.substr(rest.find("dB, ")), "dB, B5+21Cent");

    // Peak mode refines the frequency towards the tone.
    const double refined = SpectrumCursorFrequency(p, 8000, true);
    EXPECT_NEAR(refined, 1010.0, 2.0);
    const std::string peaked = SpectrumInfoText(head->Info(), p, item->YScale(), true, 440.0, 0);
    const size_t hz = peaked.find("] ") + 2;
    EXPECT_NEAR(std::stod(peaked.substr(hz)), refined, 0.01);
    EXPECT_EQ(SpectrumInfoText(head->Info(), p, kScaleAuto | kScaleLin, false, 440.0, 0).find("dB"),
              std::string::npos);
}

TEST_F(SpectrumTexts, ShowInfoOfASilentFile) {
    auto head = OpenSamples(dir, std::vector<int32_t>(16000, 0), 8000);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 4000, 256, kScaleAuto | kScaleLog);
    SfFftParam& p = item->Param();
    p.Floor = -201;
    p.Range = 4;
    EXPECT_EQ(
        SpectrumShowInfoText(head->Info(), p),
        "Filename: " + head->Info().path +
            "\nFmt:\tWAVE\nSr:\t8000\nNch:\t1\nBps:\t2\nLen:\t2s"
            "\n\nStart:\t0.5s\nEnd:\t0.5s\nChan:\t0"
            "\n\nLfft:\t256\nLWdw:\t256\nShift:\t256\nIWin: \t2\nFl:\t-201\nRa:\t4"
            "\nFMin:\t0.000000\nFMax:\t4000.000000\ndBmin:\t-198\ndBmax:\t-202\ndFreq:\t31.25");
}

TEST(SpectrumDisplay, LogAndBarkAxesPlaceBinsAndTakeTheBoxBackToHz) {
    // 44100 Hz, Lfft 1024: bins of 43.07 Hz, 0 .. 512 over 512 pixels.
    SfFftParam p;
    p.Lfft = 1024;
    p.Range = 70;
    p.Floor = -70;
    p.results.spectrum = std::make_shared<std::vector<float>>(512, -20.0f);
    for (uint32_t scale : {uint32_t(kScaleLog), uint32_t(kScaleBark)}) {
        const SpectrumGeometry g = LayOutSpectrum(p, kScaleAuto | scale, kScaleLog, 44100.0,
                                                  PlotRect{28, 4, 28 + 512, 4 + 200});
        ASSERT_NE(g.xAxis, FreqAxisKind::Linear);
        const FrequencyAxis axis = SpectrumAxis(g);
        // Bins climb from left to right, and a click lands on the bin it shows.
        int before = g.plot.left - 1;
        for (int bin = 1; bin < 512; bin += 7) {
            const int x = SpectrumCursorX(g, bin);
            EXPECT_GE(x, before) << bin;
            before = x;
        }
        const auto place = PlaceSpectrumCursor(g, SpectrumCursorX(g, 100) + 1, 50);
        ASSERT_TRUE(place);
        EXPECT_NEAR(place->bin, 100, 1);
        // The box between two pixels holds the frequencies of those pixels,
        // and drawn again it lands on them.
        SfFftParam box = p;
        StoreSpectrumBox(box, g, PlotPoint{100, 40}, PlotPoint{300, 120});
        EXPECT_NEAR(box.view.boxFreqLow, axis.HzAt((100.0 - 28) / 512), 1e-2);
        EXPECT_NEAR(box.view.boxFreqHigh, axis.HzAt((300.0 - 28) / 512), 1e-2);
        const PlotRect drawn = SpectrumBoxPixels(box, g);
        EXPECT_EQ(drawn.left, 100);
        EXPECT_EQ(drawn.right, 300);
        // Harmonic marks of 200 Hz: ever closer together on these axes.
        const std::vector<int> marks = HarmonicMarkXs(p, g, 200.0);
        ASSERT_GT(marks.size(), 3u);
        EXPECT_GT(marks[1] - marks[0], marks[3] - marks[2]);
    }
}
