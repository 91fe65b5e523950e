// The analysis settings that new items start from: the sonagram and spectrum
// parameters, the spectrum's scales and method, the RMS display range, the
// reference pitch with its notation, and the data-log file. Loaded once when
// constructed; written back section by section when the user accepts the
// Analysis options.
#pragma once

#include "soundfile/FftSettings.h"
#include "soundfile/SettingsStore.h"

#include <cstdint>
#include <string>

// The data-log file when none was chosen: in the folder the program was
// started from, the name the options sheet shows and the key W writes to.
inline constexpr const char* kDefaultDataLogFile = "DataLog.txt";

class CSfSettings {
public:
    explicit CSfSettings(SettingsStore& store);

    void SaveSon();
    void SaveFft();
    void SaveRms();
    void SaveGeneral();

    FftSettings& Son() { return son_; }
    const FftSettings& Son() const { return son_; }
    FftSettings& Fft() { return fft_; }
    const FftSettings& Fft() const { return fft_; }

    uint32_t XScale() const { return xScale_; }
    void SetXScale(uint32_t flags) { xScale_ = flags; }
    uint32_t YScale() const { return yScale_; }
    void SetYScale(uint32_t flags) { yScale_ = flags; }
    int32_t Method() const { return method_; }
    void SetMethod(int32_t method) { method_ = method; }
    // What is saved is the Fft settings' CepFreq; this copy only travels with
    // the settings for the options sheet.
    double CepFreq() const { return cepFreq_; }
    void SetCepFreq(double hz) { cepFreq_ = hz; }

    double Btf() const { return btf_; }
    void SetBtf(double hz) { btf_ = hz; }
    int32_t Btn() const { return btn_; }
    void SetBtn(int32_t notation) { btn_ = notation; }
    const std::string& DataLogFile() const { return dataLogFile_; }
    void SetDataLogFile(const std::string& path) { dataLogFile_ = path; }
    const std::string& DataLogInitDir() const { return dataLogInitDir_; }
    void SetDataLogInitDir(const std::string& dir) { dataLogInitDir_ = dir; }
    int32_t DataLogFilterNdx() const { return dataLogFilterNdx_; }
    void SetDataLogFilterNdx(int32_t index) { dataLogFilterNdx_ = index; }

    double Min() const { return min_; }
    void SetMin(double value) { min_ = value; }
    double Max() const { return max_; }
    void SetMax(double value) { max_ = value; }
    int32_t Auto() const { return auto_; }
    void SetAuto(int32_t on) { auto_ = on; }
    int32_t Scale() const { return scale_; }
    void SetScale(int32_t choice) { scale_ = choice; }

private:
    void LoadParam(const std::string& section, FftSettings& param, int lengthDefault);
    void SaveParam(const std::string& section, const FftSettings& param);
    void LoadFft();
    void LoadRms();
    void LoadGeneral();

    SettingsStore& store_;
    FftSettings son_;
    FftSettings fft_;
    uint32_t xScale_ = 0;
    uint32_t yScale_ = 0;
    int32_t method_ = 0;
    double cepFreq_ = 0.0;
    double btf_ = 0.0;
    int32_t btn_ = 0;
    std::string dataLogFile_;
    std::string dataLogInitDir_;
    int32_t dataLogFilterNdx_ = 0;
    double min_ = 0.0;
    double max_ = 0.0;
    int32_t auto_ = 0;
    int32_t scale_ = 0;
};
