#include "spectrum/ui/CSfParamFftPage.h"

#include "drawing/NumberText.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/FftSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString Number(int value) {
    return QString::number(value);
}

QString Number(double value) {
    return QString::fromStdString(PrintG(value));
}

double TextDouble(const QLineEdit* edit) {
    return LeadingDouble(edit->text().toStdString());
}

int TextInt(const QLineEdit* edit) {
    return LeadingInt(edit->text().toStdString());
}

// A field's text as a whole number, blanks around it allowed; nothing else.
std::optional<int> WholeNumber(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> RealNumber(const QLineEdit* edit) {
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The widest level span a display is asked to show, in dB: more than the
// dynamic range of 64-bit floating-point samples.
constexpr int kWidestRange = 2000;

QString IdName(int id) {
    return QString::number(id);
}

QRadioButton* AddRadio(QButtonGroup* group, QBoxLayout* layout, int id, const QString& text,
                       int index) {
    auto* radio = new QRadioButton(text);
    radio->setObjectName(IdName(id));
    group->addButton(radio, index);
    // Before the stretch that closes the row.
    layout->insertWidget(layout->count() - 1, radio);
    return radio;
}

} // namespace

CSfParamFftPage::CSfParamFftPage(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    const bool fft = kind == Kind::Fft;
    setWhatsThis(fft ? "Defaults of new spectrum windows: transform and window, the level and "
                       "frequency range and scales, and the method with its cepstrum cut-off."
                     : "Defaults of new sonagram windows: transform and window, the level range "
                       "of the grey scale and the highest frequency shown.");

    lfftList_ = new QComboBox;
    lfftList_->setObjectName(IdName(kLfftList));
    windowList_ = new QComboBox;
    windowList_->setObjectName(IdName(kWindowList));
    lwdwEdit_ = AddEdit(kLwdwEdit, false);
    shiftEdit_ = AddEdit(kShiftEdit, false);
    floorEdit_ = AddEdit(kFloorEdit, false);
    rangeEdit_ = AddEdit(kRangeEdit, true);
    minEdit_ = AddEdit(kMinEdit, fft);
    maxEdit_ = AddEdit(kMaxEdit, true);
    lfftList_->setWhatsThis("Transform length in frames: the frequency resolution is the sample "
                            "rate divided by it. Choosing one sets the window length and the "
                            "shift to it.");
    lwdwEdit_->setWhatsThis("Window length in frames, at most the transform length; the rest of "
                            "the transform is filled with zeros.");
    windowList_->setWhatsThis("The window function each frame is weighted with.");
    shiftEdit_->setWhatsThis("Frames between the starts of successive analysed frames.");
    floorEdit_->setWhatsThis("The lowest level shown, in dB; 0 shows levels relative to the "
                             "highest one.");
    rangeEdit_->setWhatsThis("The span of levels shown, in dB.");
    minEdit_->setWhatsThis("The lowest frequency shown, in Hz.");
    maxEdit_->setWhatsThis("The highest frequency shown, in Hz.");

    // The SON page shows the band from 0 Hz and steps by whole transforms.
    if (!fft) {
        floorEdit_->setEnabled(false);
        minEdit_->setEnabled(false);
        minEdit_->setReadOnly(true);
        shiftEdit_->setEnabled(false);
    }

    auto* transform = new QGroupBox("Transform");
    auto* transformGrid = new QGridLayout(transform);
    transformGrid->addWidget(new QLabel("Lfft:"), 0, 0);
    transformGrid->addWidget(lfftList_, 0, 1);
    transformGrid->addWidget(new QLabel("Lwdw:"), 0, 2);
    transformGrid->addWidget(lwdwEdit_, 0, 3);
    transformGrid->addWidget(new QLabel("Window:"), 1, 0);
    transformGrid->addWidget(windowList_, 1, 1);
    transformGrid->addWidget(new QLabel("Shift:"), 1, 2);
    transformGrid->addWidget(shiftEdit_, 1, 3);
    transformGrid->setColumnStretch(4, 1);

    auto* level = new QGroupBox("Level");
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(new QLabel("Fl:"));
    levelRow->addWidget(floorEdit_);
    levelRow->addWidget(new QLabel("Ra:"));
    levelRow->addWidget(rangeEdit_);
    levelRow->addStretch(1);
    levelRefList_ = new QComboBox;
    levelRefList_->setObjectName("LevelRef");
    levelRefList_->addItems({"dB re 1 LSB", "dBFS"});
    levelRefList_->setWhatsThis(
        "The reference of levels in dB: one least significant bit of the samples, or digital "
        "full scale, where a full-scale sine on a bin reads 0 dBFS whatever the sample width, "
        "window and length.");
    auto* referenceRow = new QHBoxLayout;
    referenceRow->addWidget(new QLabel("Reference:"));
    referenceRow->addWidget(levelRefList_);
    referenceRow->addStretch(1);

    auto* frequency = new QGroupBox("Frequency");
    auto* frequencyRow = new QHBoxLayout(frequency);
    frequencyRow->addWidget(new QLabel("Min:"));
    frequencyRow->addWidget(minEdit_);
    frequencyRow->addWidget(new QLabel("Max:"));
    frequencyRow->addWidget(maxEdit_);
    frequencyRow->addStretch(1);

    auto* levelColumn = new QVBoxLayout;
    levelColumn->addLayout(levelRow);
    levelColumn->addLayout(referenceRow);
    level->setLayout(levelColumn);

    auto* page = new QVBoxLayout(this);
    page->addWidget(transform);
    page->addWidget(level);
    page->addWidget(frequency);

    if (fft) {
        levelRow->insertSpacing(levelRow->count() - 1, 12);
        levelAutoCheck_ = new QCheckBox("Auto");
        levelAutoCheck_->setObjectName(IdName(kLevelAuto));
        levelAutoCheck_->setWhatsThis("Levels from the lowest to the highest of the spectrum "
                                      "instead of Fl and Ra.");
        levelRow->insertWidget(levelRow->count() - 1, levelAutoCheck_);
        levelScaleGroup_ = new QButtonGroup(this);
        AddRadio(levelScaleGroup_, levelRow, kLevelLin, "Lin", 0)
            ->setWhatsThis("Linear magnitudes.");
        AddRadio(levelScaleGroup_, levelRow, kLevelLog, "Log", 1)->setWhatsThis("Levels in dB.");
        averageList_ = new QComboBox;
        averageList_->setObjectName("Average");
        averageList_->addItems({"mean of dB", "power mean"});
        averageList_->setWhatsThis(
            "How the spectra of a range are averaged: the mean of their levels in dB, or the "
            "level of their mean power, where silence lowers a tone by its share of the time.");
        referenceRow->insertWidget(referenceRow->count() - 1, new QLabel("Average:"));
        referenceRow->insertWidget(referenceRow->count() - 1, averageList_);

        frequencyRow->insertSpacing(frequencyRow->count() - 1, 12);
        freqAutoCheck_ = new QCheckBox("Auto");
        freqAutoCheck_->setObjectName(IdName(kFreqAuto));
        freqAutoCheck_->setWhatsThis("The whole band from 0 Hz to half the sample rate instead "
                                     "of Min and Max.");
        frequencyRow->insertWidget(frequencyRow->count() - 1, freqAutoCheck_);
        freqScaleGroup_ = new QButtonGroup(this);
        AddRadio(freqScaleGroup_, frequencyRow, kFreqLin, "Lin", 0);
        AddRadio(freqScaleGroup_, frequencyRow, kFreqLog, "Log", 1)
            ->setWhatsThis("Frequencies on a logarithmic axis with octave ticks in Hz, from one "
                           "bin and 20 Hz up.");
        AddRadio(freqScaleGroup_, frequencyRow, kFreqBark, "Bark", 2)
            ->setWhatsThis("Frequencies on the Bark scale of hearing (Traunmueller 1990).");

        auto* methodBox = new QGroupBox("Method");
        auto* methodRow = new QHBoxLayout(methodBox);
        methodRow->addStretch(1);
        methodGroup_ = new QButtonGroup(this);
        AddRadio(methodGroup_, methodRow, kStandard, "Standard", 0)
            ->setWhatsThis("The spectrum alone.");
        AddRadio(methodGroup_, methodRow, kCepSmooth, "CepSmooth", 1)
            ->setWhatsThis("The spectrum with its cepstrally smoothed envelope in red, smoothed "
                           "up to the cut-off frequency.");
        AddRadio(methodGroup_, methodRow, kMasking, "Masking", 2)->setEnabled(false);
        methodRow->insertSpacing(methodRow->count() - 1, 12);
        cepFreqEdit_ = AddEdit(kCepFreqEdit, false);
        cepFreqEdit_->setWhatsThis("Cut-off frequency of the cepstral smoothing, in Hz.");
        methodRow->insertWidget(methodRow->count() - 1, cepFreqEdit_);
        methodRow->insertWidget(methodRow->count() - 1, new QLabel("Hz"));
        page->addWidget(methodBox);
    } else {
        page->addWidget(SonagramDisplayBox());
    }
    page->addStretch(1);
}

QGroupBox* CSfParamFftPage::SonagramDisplayBox() {
    colourMapList_ = new QComboBox;
    colourMapList_->setObjectName("ColourMap");
    colourMapList_->addItems({"Grey", "Viridis", "Magma", "Inferno", "Cividis", "Grey reversed"});
    colourMapList_->setWhatsThis("The colours of the sonagram: the grey ramp from white to "
                                 "black, perceptually uniform maps, or grey from black to white. "
                                 "Every map but the grey ramp shows a colour bar in dB.");
    freqAxisList_ = new QComboBox;
    freqAxisList_->setObjectName("FreqAxis");
    freqAxisList_->addItems({"Linear", "Log", "Bark", "Notes"});
    freqAxisList_->setWhatsThis("The frequency axis: linear in kHz, logarithmic with octaves in "
                                "Hz, the Bark scale of hearing, or musical notes with every C.");
    framesList_ = new QComboBox;
    framesList_->setObjectName("Frames");
    framesList_->addItems({"one per column", "every hop"});
    framesList_->setWhatsThis("One analysis frame per image column, or a frame every Hop "
                              "frames with each column the loudest of its frames, so that no "
                              "short sound between columns is lost.");
    hopEdit_ = AddEdit(0, true);
    hopEdit_->setObjectName("Hop");
    hopEdit_->setWhatsThis("Frames between the frames of every hop; empty or 0 for a quarter "
                           "of the window length.");
    auto* box = new QGroupBox("Display");
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel("Colours:"), 0, 0);
    grid->addWidget(colourMapList_, 0, 1);
    grid->addWidget(new QLabel("Axis:"), 0, 2);
    grid->addWidget(freqAxisList_, 0, 3);
    grid->addWidget(new QLabel("Frames:"), 1, 0);
    grid->addWidget(framesList_, 1, 1);
    grid->addWidget(new QLabel("Hop:"), 1, 2);
    grid->addWidget(hopEdit_, 1, 3);
    grid->setColumnStretch(4, 1);
    return box;
}

QLineEdit* CSfParamFftPage::AddEdit(int id, bool digitsOnly) {
    auto* edit = new QLineEdit;
    edit->setObjectName(IdName(id));
    // Room for the longest number a field takes, 1048576, and a little more.
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance("000000000") + 12);
    if (digitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

void CSfParamFftPage::Open() {
    lfftList_->clear();
    for (int k = 4; k <= 20; ++k)
        lfftList_->addItem(Number(1 << k));
    int chosen = -1;
    for (int i = 0; i < lfftList_->count() && chosen < 0; ++i)
        if (lfftList_->itemText(i).startsWith(lfftText))
            chosen = i;
    lfftList_->setCurrentIndex(chosen);

    windowList_->clear();
    windowList_->addItems(
        {"Rectangle", "Triangle", "Hanning", "Hamming", "Blackman", "Blackman-Haris"});
    windowList_->setCurrentIndex(IWin >= 0 && IWin < windowList_->count() ? IWin : -1);

    lwdwEdit_->setText(Number(Lwdw));
    shiftEdit_->setText(Number(Shift));
    floorEdit_->setText(Number(Floor));
    rangeEdit_->setText(Number(Range));
    minEdit_->setText(Number(double(Fmin)));
    maxEdit_->setText(Number(double(Fmax)));
    levelRefList_->setCurrentIndex(levelRef == 1 ? 1 : 0);
    if (kind_ == Kind::Son) {
        colourMapList_->setCurrentIndex(
            colourMap >= kMapGrey && colourMap <= kMapGreyReversed ? colourMap : kMapGrey);
        freqAxisList_->setCurrentIndex(
            freqAxis >= kAxisLinear && freqAxis <= kAxisNote ? freqAxis : kAxisLinear);
        framesList_->setCurrentIndex(frames == kFramesEveryHop ? 1 : 0);
        hopEdit_->setText(hop > 0 ? Number(hop) : QString());
    }

    if (kind_ == Kind::Fft) {
        averageList_->setCurrentIndex(average == 1 ? 1 : 0);
        levelAutoCheck_->setChecked(levelAuto != 0);
        if (QAbstractButton* b = levelScaleGroup_->button(levelScale))
            b->setChecked(true);
        freqAutoCheck_->setChecked(freqAuto != 0);
        if (QAbstractButton* b = freqScaleGroup_->button(freqScale))
            b->setChecked(true);
        if (QAbstractButton* b = methodGroup_->button(method))
            b->setChecked(true);
        const bool cepSmooth = method == 1;
        cepFreqEdit_->setText(cepSmooth ? Number(CepFreq) : QString());
        cepFreqEdit_->setReadOnly(!cepSmooth);
        connect(methodGroup_, &QButtonGroup::idClicked, this, &CSfParamFftPage::MethodChosen);
        connect(cepFreqEdit_, &QLineEdit::editingFinished, this, [this] {
            if (!cepFreqEdit_->isReadOnly())
                CepFreq = TextDouble(cepFreqEdit_);
        });
    }
    connect(lfftList_, &QComboBox::currentIndexChanged, this, &CSfParamFftPage::LfftChosen);
}

void CSfParamFftPage::LfftChosen(int index) {
    if (index < 0)
        return;
    const int length = 1 << (index + 4);
    lfftText = Number(length);
    Lwdw = Shift = length;
    lwdwEdit_->setText(Number(Lwdw));
    shiftEdit_->setText(Number(Shift));
}

void CSfParamFftPage::MethodChosen(int id) {
    if (id == 0) {
        // Only a cut-off the user could see and type is taken: a second click
        // on Standard finds the field empty and must not turn it into 0 Hz.
        if (!cepFreqEdit_->isReadOnly())
            CepFreq = TextDouble(cepFreqEdit_);
        cepFreqEdit_->clear();
        cepFreqEdit_->setReadOnly(true);
    } else if (id == 1) {
        cepFreqEdit_->setText(Number(CepFreq));
        cepFreqEdit_->setReadOnly(false);
    }
}

std::optional<CSfParamFftPage::Fault> CSfParamFftPage::FirstFault() const {
    if (!(TextDouble(maxEdit_) > TextDouble(minEdit_)))
        // The SON page's minimum cannot be edited; its maximum can.
        return Fault{"fMin >= fMax", minEdit_->isEnabled() ? minEdit_ : maxEdit_};
    if (TextInt(rangeEdit_) <= 0)
        return Fault{"Ra <= 0", rangeEdit_};
    if (TextInt(shiftEdit_) <= 0)
        return Fault{"Shift <= 0", shiftEdit_};
    // The stated checks read the leading number of a text; what follows asks
    // for the whole text to be one, within what an analysis can use.
    const int lfft = lfftList_->currentText().toInt();
    const std::optional<int> lwdw = WholeNumber(lwdwEdit_);
    if (!lwdw || *lwdw < 1 || *lwdw > lfft)
        return Fault{"Lwdw must be a whole number from 1 to Lfft", lwdwEdit_};
    if (shiftEdit_->isEnabled()) {
        const std::optional<int> shift = WholeNumber(shiftEdit_);
        if (!shift || *shift > lfft)
            return Fault{"Shift must be a whole number from 1 to Lfft", shiftEdit_};
    }
    if (floorEdit_->isEnabled()) {
        const std::optional<int> floor = WholeNumber(floorEdit_);
        if (!floor || *floor < -kWidestRange || *floor > kWidestRange)
            return Fault{"Fl must be a whole number from -2000 to 2000 dB", floorEdit_};
    }
    const std::optional<int> range = WholeNumber(rangeEdit_);
    if (!range || *range > kWidestRange)
        return Fault{"Ra must be a whole number from 1 to 2000 dB", rangeEdit_};
    if (minEdit_->isEnabled()) {
        const std::optional<double> fmin = RealNumber(minEdit_);
        if (!fmin || *fmin < 0.0)
            return Fault{"fMin must be a number of Hz from 0", minEdit_};
    }
    const std::optional<double> fmax = RealNumber(maxEdit_);
    if (!fmax || *fmax > kHighestFrequency)
        return Fault{"fMax must be a number of Hz up to 1000000", maxEdit_};
    if (cepFreqEdit_ && !cepFreqEdit_->isReadOnly()) {
        const std::optional<double> cut = RealNumber(cepFreqEdit_);
        if (!cut || *cut < kLowestCepFreq || *cut > kHighestFrequency)
            return Fault{"The cut-off must be a number from 1 to 1000000 Hz", cepFreqEdit_};
    }
    return std::nullopt;
}

void CSfParamFftPage::Exchange() {
    lfftText = lfftList_->currentText();
    Lwdw = TextInt(lwdwEdit_);
    Shift = TextInt(shiftEdit_);
    IWin = windowList_->currentIndex();
    Floor = TextInt(floorEdit_);
    Range = TextInt(rangeEdit_);
    Fmin = float(TextDouble(minEdit_));
    Fmax = float(TextDouble(maxEdit_));
    levelRef = levelRefList_->currentIndex();
    if (kind_ == Kind::Son) {
        colourMap = colourMapList_->currentIndex();
        freqAxis = freqAxisList_->currentIndex();
        frames = framesList_->currentIndex();
        hop = std::max(TextInt(hopEdit_), 0);
    }
    if (kind_ != Kind::Fft)
        return;
    average = averageList_->currentIndex();
    levelAuto = levelAutoCheck_->isChecked() ? 1 : 0;
    levelScale = levelScaleGroup_->checkedId();
    freqAuto = freqAutoCheck_->isChecked() ? 1 : 0;
    freqScale = freqScaleGroup_->checkedId();
    method = methodGroup_->checkedId();
    // Enter closes the sheet without the field losing the focus first.
    if (!cepFreqEdit_->isReadOnly())
        CepFreq = TextDouble(cepFreqEdit_);
}
