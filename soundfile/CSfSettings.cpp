#include "soundfile/CSfSettings.h"

#include "drawing/NumberText.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/FftScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <locale.h>
#include <stdlib.h>

namespace {

const int kDefaultIWin = 4; // Blackman
const int kDefaultLevel = 70;
const int kDefaultFmax = 8000;
const int kDefaultCepFreq = 500;

// The settings file may have been written under another locale than the one
// the desktop program switches the C library to at start-up, so numbers in
// texts always use the point: "%g" and atof as in the "C" locale.
double ParseDecimal(const std::string& text) {
    // glibc hands out its built-in "C" locale object here without allocating.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text.c_str(), nullptr, cLocale);
}

// Frequencies are stored as whole numbers. Converting a NaN or a value beyond
// the int range is undefined, so those end at 0 or at the nearest limit.
int TruncateToInt(double value) {
    const double limit = static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
    if (std::isnan(value))
        return 0;
    if (value >= limit)
        return std::numeric_limits<int>::max();
    if (value <= -limit - 1.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// The transform lengths the options sheet offers: 16 .. 1048576.
bool IsOfferedLength(int length) {
    return length >= 16 && length <= 1048576 && (length & (length - 1)) == 0;
}

} // namespace

CSfSettings::CSfSettings(SettingsStore& store) : store_(store) {
    LoadParam("Son", son_, 1024);
    LoadFft();
    LoadRms();
    LoadGeneral();
}

void CSfSettings::LoadParam(const std::string& section, FftSettings& param, int lengthDefault) {
    param.Lfft = store_.GetInt(section, "Lfft", lengthDefault);
    param.Lwdw = store_.GetInt(section, "Lwdw", lengthDefault);
    param.IWin = store_.GetInt(section, "IWin", kDefaultIWin);
    param.Shift = store_.GetInt(section, "Shift", lengthDefault);
    param.Floor = store_.GetInt(section, "Floor", kDefaultLevel);
    param.Range = store_.GetInt(section, "Range", kDefaultLevel);
    param.Fmin = static_cast<float>(store_.GetInt(section, "Fmin", 0));
    param.Fmax = static_cast<float>(store_.GetInt(section, "Fmax", kDefaultFmax));

    // A hand-edited file can hold values the options sheet never lets through.
    // The analyses and the displays divide by them or size buffers with them,
    // so such values fall back to their defaults.
    if (!IsOfferedLength(param.Lfft))
        param.Lfft = lengthDefault;
    if (param.Shift <= 0)
        param.Shift = lengthDefault;
    if (param.Range <= 0)
        param.Range = kDefaultLevel;
    if (param.Fmax <= param.Fmin) {
        param.Fmin = 0.0f;
        param.Fmax = static_cast<float>(kDefaultFmax);
    }
    if (param.Lfft < param.Lwdw || param.Lwdw <= 0)
        param.Lwdw = param.Lfft;
    if (param.IWin < kFirstWindow || param.IWin > kLastWindow)
        param.IWin = kDefaultIWin;
    param.LevelRef = store_.GetInt(section, "LevelRef", kLevelRefLsb) == kLevelRefFullScale
                         ? kLevelRefFullScale
                         : kLevelRefLsb;
    param.Average = store_.GetInt(section, "Average", kAverageDecibels) == kAveragePower
                        ? kAveragePower
                        : kAverageDecibels;
    const auto choice = [&](const char* key, int32_t last) {
        const int32_t value = store_.GetInt(section, key, 0);
        return value >= 0 && value <= last ? value : 0;
    };
    param.ColourMap = choice("ColourMap", kMapGreyReversed);
    param.FreqAxis = choice("FreqAxis", kAxisNote);
    param.Frames = choice("Frames", kFramesEveryHop);
    param.Hop = std::max(store_.GetInt(section, "Hop", 0), 0);
}

void CSfSettings::LoadFft() {
    LoadParam("Fft", fft_, 2048);
    xScale_ = static_cast<uint32_t>(store_.GetInt("Fft", "XScale", kScaleAuto | kScaleLin));
    yScale_ = static_cast<uint32_t>(store_.GetInt("Fft", "YScale", kScaleAuto | kScaleLog));
    method_ = store_.GetInt("Fft", "Method", 0);
    // Standard and CepSmooth are the methods there are.
    if (method_ != 0 && method_ != 1)
        method_ = 0;
    fft_.CepFreq = store_.GetInt("Fft", "CepFreq", kDefaultCepFreq);
    if (fft_.CepFreq < kLowestCepFreq || fft_.CepFreq > kHighestFrequency)
        fft_.CepFreq = kDefaultCepFreq;
    cepFreq_ = fft_.CepFreq;
}

void CSfSettings::LoadRms() {
    min_ = ParseDecimal(store_.GetString("Rms", "Min", "0"));
    max_ = ParseDecimal(store_.GetString("Rms", "Max", "100"));
    auto_ = store_.GetInt("Rms", "Auto", 1);
    scale_ = store_.GetInt("Rms", "Scale", 1);
}

void CSfSettings::LoadGeneral() {
    // A stored value no note name can be reckoned from (text, 0, a typing
    // slip) is as good as none: the default takes its place.
    btf_ = ParseDecimal(store_.GetString("General", "Btf", "440"));
    if (!ValidReferencePitch(btf_))
        btf_ = kDefaultReferencePitch;
    btn_ = store_.GetInt("General", "Btn", 0);
    if (!ValidNotation(btn_))
        btn_ = 0;
    dataLogFile_ = store_.GetString("General", "DataLogFile", kDefaultDataLogFile);
    if (dataLogFile_.empty())
        dataLogFile_ = kDefaultDataLogFile;
    dataLogInitDir_ = store_.GetString("General", "DataLogInitDir", "./");
    dataLogFilterNdx_ = store_.GetInt("General", "DataLogFilterNdx", 1);
}

void CSfSettings::SaveParam(const std::string& section, const FftSettings& param) {
    store_.SetInt(section, "Lfft", param.Lfft);
    store_.SetInt(section, "Lwdw", param.Lwdw);
    store_.SetInt(section, "IWin", param.IWin);
    store_.SetInt(section, "Shift", param.Shift);
    store_.SetInt(section, "Floor", param.Floor);
    store_.SetInt(section, "Range", param.Range);
    store_.SetInt(section, "Fmin", TruncateToInt(param.Fmin));
    store_.SetInt(section, "Fmax", TruncateToInt(param.Fmax));
    // Written once chosen, so that a settings file of the stated keys alone
    // stays as it is until the user picks another reference or average.
    const auto keep = [&](const char* key, int32_t value) {
        if (value != 0 || store_.GetInt(section, key, -1) != -1)
            store_.SetInt(section, key, value);
    };
    keep("LevelRef", param.LevelRef);
    keep("Average", param.Average);
    keep("ColourMap", param.ColourMap);
    keep("FreqAxis", param.FreqAxis);
    keep("Frames", param.Frames);
    keep("Hop", param.Hop);
}

void CSfSettings::SaveSon() {
    SaveParam("Son", son_);
}

void CSfSettings::SaveFft() {
    SaveParam("Fft", fft_);
    store_.SetInt("Fft", "XScale", static_cast<int>(xScale_));
    store_.SetInt("Fft", "YScale", static_cast<int>(yScale_));
    store_.SetInt("Fft", "Method", method_);
    store_.SetInt("Fft", "CepFreq", TruncateToInt(fft_.CepFreq));
}

void CSfSettings::SaveRms() {
    store_.SetString("Rms", "Min", PrintG(min_));
    store_.SetString("Rms", "Max", PrintG(max_));
    store_.SetInt("Rms", "Auto", auto_);
    store_.SetInt("Rms", "Scale", scale_);
}

void CSfSettings::SaveGeneral() {
    store_.SetString("General", "Btf", PrintG(btf_));
    store_.SetInt("General", "Btn", btn_);
    store_.SetString("General", "DataLogFile", dataLogFile_);
    store_.SetString("General", "DataLogInitDir", dataLogInitDir_);
    store_.SetInt("General", "DataLogFilterNdx", dataLogFilterNdx_);
}
