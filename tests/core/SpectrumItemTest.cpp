// The spectrum item: defaults, task words and name, and the zoomed item that
// shows its parent's arrays.
#include "support/AnalysisFiles.h"

#include "soundfile/CSfSettings.h"
#include "spectrum/CSfFft.h"
#include "waveform/CSfWav.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SpectrumItem : public ::testing::Test {
protected:
    void SetUp() override {
        head = OpenSamples(dir, std::vector<int32_t>(2 * 100000, 0), 44100, 2);
        ASSERT_TRUE(head);
    }

    TempDir dir;
    MemoryStore store;
    CSfSettings settings{store};
    std::unique_ptr<CSfHead> head;
};

// A parent spectrum whose view holds a selection box, with arrays of its own.
std::unique_ptr<CSfFft> BoxedParent(CSfHead& head, const CSfSettings& settings) {
    auto parent = std::make_unique<CSfFft>(head, settings);
    SfFftParam& p = parent->Param();
    p.Lfft = 512;
    p.Lwdw = 300;
    p.CepFreq = 250.0;
    p.IWin = 1;
    p.Shift = 128;
    p.results.spectrum = std::make_shared<std::vector<float>>(256, -3.0f);
    p.results.samples = std::make_shared<std::vector<float>>(512, 7.0f);
    p.results.smoothed = std::make_shared<std::vector<float>>(256, -4.0f);
    p.start = 1000;
    p.end = 5000;
    p.channel = 1;
    p.view.viewFlags = kFftBoxDefined;
    p.view.boxFreqLow = 500.0f;
    p.view.boxFreqHigh = 1500.5f;
    p.view.boxLevelLow = -20.7f;
    p.view.boxLevelHigh = 30.2f;
    return parent;
}

} // namespace

TEST_F(SpectrumItem, StartsFromTheSettingsAndTheParentsTask) {
    SetHeadTask(*head, 44100, 44100, 1);
    CSfFft item(*head, settings);
    EXPECT_EQ(item.GetKind(), 3);
    EXPECT_EQ(item.GetHead(), head.get());
    EXPECT_EQ(item.GetName(), "FFT: 1, 1s 2048");
    const SfFftParam& p = item.Param();
    EXPECT_EQ(p.Lfft, 2048);
    EXPECT_EQ(p.Lwdw, 2048);
    EXPECT_EQ(p.IWin, 4);
    EXPECT_EQ(p.Shift, 2048);
    EXPECT_EQ(p.Floor, 70);
    EXPECT_EQ(p.Range, 70);
    EXPECT_EQ(p.Fmin, 0.0f);
    EXPECT_EQ(p.Fmax, 8000.0f);
    EXPECT_EQ(p.CepFreq, 500.0);
    EXPECT_EQ(item.XScale(), 17u);
    EXPECT_EQ(item.YScale(), 18u);
    EXPECT_EQ(item.Method(), 0);
    EXPECT_TRUE(p.results.ownsArrays);
    EXPECT_FALSE(p.results.spectrum || p.results.samples || p.results.smoothed);
    EXPECT_EQ(p.start, 44100u);
    EXPECT_EQ(p.end, 44100u);
    EXPECT_EQ(p.channel, 1);
    EXPECT_EQ(p.view.viewFlags, 0u);
    EXPECT_EQ(item.Task().start, 44100u);
    EXPECT_EQ(item.Task().end, 44100u);
    EXPECT_EQ(item.Task().channel, 1);

    // Over a range the parameters still start at the range start, until the
    // view sets them from the task.
    SetHeadTask(*head, 0, 66150, 0);
    settings.Fft().Lfft = 512;
    CSfFft range(*head, settings);
    EXPECT_EQ(range.GetName(), "FFT: 0, 0m_1.5s 512");
    EXPECT_EQ(range.Task().end, 66150u);
    EXPECT_EQ(range.Param().start, 0u);
    EXPECT_EQ(range.Param().end, 0u);
}

TEST_F(SpectrumItem, GetTaskReportsParametersFlagsAndBox) {
    auto parent = BoxedParent(*head, settings);
    SfTask task;
    task.selectLeft = 11;
    task.cursorIndex = 12;
    parent->GetTask(task);
    EXPECT_EQ(task.start, 1000u);
    EXPECT_EQ(task.end, 5000u);
    EXPECT_EQ(task.channel, 1);
    EXPECT_EQ(task.flags, kFftBoxDefined);
    EXPECT_EQ(task.boxFreqLow, 500.0f);
    EXPECT_EQ(task.boxFreqHigh, 1500.5f);
    EXPECT_EQ(task.boxLevelLow, -20.7f);
    EXPECT_EQ(task.boxLevelHigh, 30.2f);
    EXPECT_EQ(task.selectLeft, 11);
    EXPECT_EQ(task.cursorIndex, 12);

    // Without a box the spectrum inserted below takes the task but owns its arrays.
    parent->Param().view.viewFlags = 0;
    CSfFft child(*parent, settings);
    EXPECT_TRUE(child.Param().results.ownsArrays);
    EXPECT_FALSE(child.Param().results.spectrum);
    EXPECT_EQ(child.Task().start, 1000u);
    EXPECT_EQ(child.Task().end, 5000u);
    EXPECT_EQ(child.Param().Lfft, 2048);
    EXPECT_EQ(child.XScale(), 17u);
}

TEST_F(SpectrumItem, ZoomsIntoTheParentsBox) {
    auto parent = BoxedParent(*head, settings);
    CSfFft zoomed(*parent, settings);
    const SfFftParam& p = zoomed.Param();
    EXPECT_FALSE(p.results.ownsArrays);
    EXPECT_EQ(p.Fmin, 500.0f);
    EXPECT_EQ(p.Fmax, 1500.5f);
    EXPECT_EQ(p.Floor, -20);    // truncated toward zero
    EXPECT_EQ(p.Range, 50 + 1); // 30.2 - (-20.7) truncated, plus one
    EXPECT_EQ(zoomed.XScale(), 1u);
    EXPECT_EQ(zoomed.YScale(), 2u);
    EXPECT_EQ(p.Lfft, 512);
    EXPECT_EQ(p.Lwdw, 300);
    EXPECT_EQ(p.CepFreq, 250.0);
    EXPECT_EQ(p.IWin, 4);     // the rest are the defaults
    EXPECT_EQ(p.Shift, 2048); // not the parent's 128
    EXPECT_EQ(p.view.viewFlags, kFftBoxDefined);
    EXPECT_EQ(p.results.spectrum, parent->Param().results.spectrum);
    EXPECT_EQ(p.results.samples, parent->Param().results.samples);
    EXPECT_EQ(p.results.smoothed, parent->Param().results.smoothed);
    EXPECT_EQ(zoomed.GetName(), "FFT: 1, 0.0226757s_0.113379s 512");
}

TEST_F(SpectrumItem, BorrowedArraysOutliveTheirParent) {
    auto parent = BoxedParent(*head, settings);
    auto zoomed = std::make_unique<CSfFft>(*parent, settings);
    const std::vector<float>* spectrum = parent->Param().results.spectrum.get();

    // The tree may delete the zoomed item first: the parent keeps its arrays.
    { CSfFft first(*parent, settings); }
    ASSERT_TRUE(parent->Param().results.spectrum);
    EXPECT_EQ((*parent->Param().results.spectrum)[255], -3.0f);

    // Or the parent first: the zoomed item still shows the same values.
    parent.reset();
    ASSERT_EQ(zoomed->Param().results.spectrum.get(), spectrum);
    EXPECT_EQ(zoomed->Param().results.spectrum->size(), 256u);
    EXPECT_EQ((*zoomed->Param().results.spectrum)[255], -3.0f);
    EXPECT_EQ((*zoomed->Param().results.samples)[511], 7.0f);
    EXPECT_EQ((*zoomed->Param().results.smoothed)[0], -4.0f);
}

TEST_F(SpectrumItem, OnlyASpectrumIsZoomedInto) {
    // A waveform window's flags never hold the box bit, but even if they did
    // there would be no arrays to share.
    SetHeadTask(*head, 10, 20, 0);
    CSfWav wav(*head);
    wav.Task().flags = kFftBoxDefined;
    wav.Task().boxFreqLow = 100.0f;
    wav.Task().boxFreqHigh = 200.0f;
    CSfFft item(wav, settings);
    EXPECT_TRUE(item.Param().results.ownsArrays);
    EXPECT_EQ(item.Param().Fmin, 0.0f);
    EXPECT_EQ(item.Param().Fmax, 8000.0f);
    EXPECT_EQ(item.XScale(), 17u);
    EXPECT_EQ(item.Param().view.viewFlags, kFftBoxDefined);
}
