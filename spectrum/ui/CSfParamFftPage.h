// One page of the Analysis options for a record of analysis parameters: the
// "SON" page edits the defaults of new sonagrams, the "FFT" page those of new
// spectra together with their scales, method and cepstrum cut-off.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

class CSfParamFftPage : public QWidget {
    Q_OBJECT
public:
    // Control ids, kept as the controls' object names.
    enum Control {
        kLfftList = 1015,
        kFloorEdit = 1016,
        kRangeEdit = 1017,
        kMinEdit = 1018,
        kMaxEdit = 1019,
        kLwdwEdit = 1020,
        kWindowList = 1021,
        kShiftEdit = 1022,
        kLevelLin = 1028,
        kLevelLog = 1030,
        kLevelAuto = 1031,
        kFreqLin = 1033,
        kFreqLog = 1035,
        kFreqAuto = 1036,
        kFreqBark = 1038,
        kStandard = 1042,
        kCepSmooth = 1045,
        kMasking = 1048,
        kCepFreqEdit = 1079,
    };
    enum class Kind { Son, Fft };

    CSfParamFftPage(Kind kind, QWidget* parent = nullptr);

    // The values the sheet fills in before Open and reads after Exchange.
    QString lfftText;
    int Lwdw = 0;
    int Shift = 0;
    int IWin = -1;
    int Floor = 0;
    int Range = 0;
    float Fmin = 0.0f;
    float Fmax = 0.0f;
    int levelRef = 0; // 0 dB re 1 LSB, 1 dBFS
    // "SON" page only: colour map, frequency axis, frames and their hop
    // (0: a quarter of the window).
    int colourMap = 0;
    int freqAxis = 0;
    int frames = 0;
    int hop = 0;
    // "FFT" page only.
    int average = 0; // 0 mean of dB, 1 power mean
    int levelAuto = 0;
    int levelScale = -1;
    int freqAuto = 0;
    int freqScale = 0;
    int method = -1;
    double CepFreq = 500.0;

    Kind PageKind() const { return kind_; }
    // Shows the values: the transform lengths 16 .. 1048576 and the window
    // types in their lists, and the cut-off only for the CepSmooth method.
    void Open();
    // The first of the band, the range and the shift as typed that cannot be
    // analysed: the message for the user and the field to correct.
    struct Fault {
        const char* message;
        QLineEdit* field;
    };
    std::optional<Fault> FirstFault() const;
    // Takes the values back from the controls.
    void Exchange();

private:
    QLineEdit* AddEdit(int id, bool digitsOnly);
    // The "SON" page's colours, axis and frames.
    QGroupBox* SonagramDisplayBox();
    void LfftChosen(int index);
    void MethodChosen(int id);

    Kind kind_;
    QComboBox* lfftList_;
    QComboBox* windowList_;
    QComboBox* levelRefList_;
    QComboBox* averageList_ = nullptr;
    QComboBox* colourMapList_ = nullptr;
    QComboBox* freqAxisList_ = nullptr;
    QComboBox* framesList_ = nullptr;
    QLineEdit* hopEdit_ = nullptr;
    QLineEdit* lwdwEdit_;
    QLineEdit* shiftEdit_;
    QLineEdit* floorEdit_;
    QLineEdit* rangeEdit_;
    QLineEdit* minEdit_;
    QLineEdit* maxEdit_;
    QCheckBox* levelAutoCheck_ = nullptr;
    QCheckBox* freqAutoCheck_ = nullptr;
    QButtonGroup* levelScaleGroup_ = nullptr;
    QButtonGroup* freqScaleGroup_ = nullptr;
    QButtonGroup* methodGroup_ = nullptr;
    QLineEdit* cepFreqEdit_ = nullptr;
};
