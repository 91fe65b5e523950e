// A sound file opened for the Python module and its analyses, computed by the
// same functions as the windows and kavirel-cli: the parameters of a request
// that are not given come from the program's built-in defaults (or the
// user's settings, when the sound was opened with them), and are checked as
// the command line checks them.
#pragma once

#include "soundfile/DesktopServices.h"
#include "soundfile/SfItems.h"
#include "spectrum/PitchTracker.h"
#include "spectrum/SpectrumPeaks.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class SettingsStore;

// The file cannot be read or nothing could be computed; what() is the
// program's message.
class AnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Frames start .. end - 1 of one channel; end equal to start for an instant.
struct SoundTask {
    uint32_t start = 0;
    uint32_t end = 0;
    int32_t channel = 0;
};

// The options of the spectrum window's parameter page; level 0 or 1 is
// kLevelRefLsb or kLevelRefFullScale, average kAverageDecibels or kAveragePower.
struct SpectrumRequest {
    SoundTask task;
    std::optional<int32_t> lfft, lwdw, shift, window, method, level, average;
    std::optional<double> cepFreq;
    bool linear = false;
    int screenWidth = 1024;
};

struct SpectrumResult {
    double binWidthHz = 0.0;
    bool decibels = true;
    int32_t levelRef = 0;
    std::vector<float> levels;   // bins 0 .. Lfft/2 - 1
    std::vector<float> smoothed; // the cepstrally smoothed levels; empty unless method 1
};

struct SonagramRequest {
    SoundTask task;
    std::optional<int32_t> lfft, lwdw, window, range, level;
    std::optional<double> fmax;
    int screenWidth = 1024;
};

struct SonagramResult {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> cells; // height rows of width grey indices, top row first
    std::vector<float> levels;  // the level curve, one value a column
    double dBMax = 0.0;
    int32_t floor = 0;
    double fmax = 0.0;
    double levelMin = 0.0;
    double levelMax = 0.0;
};

struct EnvelopeResult {
    std::vector<float> values;
    double lower = 0.0;
    double upper = 0.0;
};

struct PitchRequest {
    SoundTask task;
    std::optional<double> floor, ceiling, step;
};

struct OverviewResult {
    std::vector<float> values; // per channel 2 W envelope values, then per channel 2 W levels
    bool fromCache = false;
};

// The peak and the RMS over every sample of every channel, re digital full
// scale; minus infinity for digital silence.
struct FileLevels {
    double peakDbfs = 0.0;
    double rmsDbfs = 0.0;
};

class ModuleSound {
public:
    // Opens and recognises path as the program does; raw answers the question
    // for the format of a file without a header. Throws AnalysisError.
    ModuleSound(const std::string& path, std::optional<RawFormat> raw, bool userSettings);

    const SfInfo& Info() const { return head_.Info(); }
    // The numeric value of a full-scale sample.
    double FullScale() const;

    // The checks of the command line; std::invalid_argument names what is wrong.
    SoundTask Task(uint32_t start, uint32_t end, int64_t channel) const;

    // Each may run on any thread; calls on one sound take turns.
    OverviewResult Overview(int width);
    SpectrumResult Spectrum(const SpectrumRequest& request);
    // The peaks Ctrl+Right visits in the spectrum window of the request, the
    // levels as computed; at most count when count is positive.
    std::vector<SpectrumPeak> Peaks(const SpectrumRequest& request, int count);
    // The peak of highest level among them; none when there is no peak.
    std::optional<SpectrumPeak> HighestPeak(const SpectrumRequest& request);
    SonagramResult Sonagram(const SonagramRequest& request);
    EnvelopeResult Envelope(const SoundTask& task, int screenWidth);
    PitchContour Pitch(const PitchRequest& request);
    std::vector<float> Samples(const SoundTask& task);
    FileLevels Levels();

private:
    std::unique_ptr<SettingsStore> Settings() const;
    // What the window's first drawing of a spectrum shows: its levels (lowered
    // where the drawing lowers them, which moves no peak), the bins and the
    // floor the peaks must rise above.
    using ShownSpectrum =
        std::function<void(const std::vector<float>& levels, const BinRange& bins, float floor)>;
    SpectrumResult ComputeSpectrum(const SpectrumRequest& request,
                                   const ShownSpectrum& shown = nullptr);

    std::mutex mutex_;
    CSfHead head_;
    bool userSettings_;
};
