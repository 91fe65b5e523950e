#include "spectrum/ui/CSfParamSheet.h"

#include "app/ui/AppIcon.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/FftScale.h"
#include "spectrum/ui/CSfParamFftPage.h"
#include "spectrum/ui/CSfParamGenPage.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

void FillParamPage(CSfParamFftPage& page, const FftSettings& p) {
    page.lfftText = QString::number(p.Lfft);
    page.Shift = p.Shift;
    page.Lwdw = p.Lwdw;
    page.IWin = p.IWin;
    page.Floor = p.Floor;
    page.Range = p.Range;
    page.Fmin = p.Fmin;
    page.Fmax = p.Fmax;
    page.levelRef = p.LevelRef;
    page.average = p.Average;
    page.colourMap = p.ColourMap;
    page.freqAxis = p.FreqAxis;
    page.frames = p.Frames;
    page.hop = p.Hop;
}

void StoreParamPage(const CSfParamFftPage& page, FftSettings& p) {
    p.Lfft = page.lfftText.toInt();
    p.Shift = page.Shift;
    p.Lwdw = page.Lwdw;
    p.IWin = page.IWin;
    p.Floor = page.Floor;
    p.Range = page.Range;
    p.Fmin = page.Fmin;
    p.Fmax = page.Fmax;
    p.LevelRef = page.levelRef;
    p.Average = page.average;
    if (page.PageKind() != CSfParamFftPage::Kind::Son)
        return;
    p.ColourMap = page.colourMap;
    p.FreqAxis = page.freqAxis;
    p.Frames = page.frames;
    p.Hop = page.hop;
}

// The choice among the low bits of a scale word: 0 for bit 0, 1 for bit 1,
// 2 for bit 2, -1 for none.
int ScaleChoice(uint32_t flags, int choices) {
    for (int i = 0; i < choices; ++i)
        if (flags & (1u << i))
            return i;
    return -1;
}

// A scale word from the page; with no choice made the old one stays.
uint32_t ScaleFlags(int choice, int autoOn, uint32_t old) {
    const uint32_t chosen = choice >= 0 ? (1u << choice) : (old & ~uint32_t(kScaleAuto));
    return chosen + (autoOn ? uint32_t(kScaleAuto) : 0u);
}

} // namespace

CSfParamSheet::CSfParamSheet(CSfSettings& settings, DesktopServices& desktop, QWidget* parent)
    : QDialog(parent), settings_(settings), desktop_(desktop), tabs_(new QTabWidget),
      sonPage_(new CSfParamFftPage(CSfParamFftPage::Kind::Son)),
      fftPage_(new CSfParamFftPage(CSfParamFftPage::Kind::Fft)), generalPage_(new CSfParamGenPage) {
    setWindowTitle("Analysis");
    setWindowIcon(ApplicationIcon());
    setWhatsThis("The defaults of new analysis windows. Windows already open keep theirs.");
    tabs_->addTab(sonPage_, "SON");
    tabs_->addTab(fftPage_, "FFT");
    tabs_->addTab(generalPage_, "General");
    tabs_->setCurrentIndex(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &CSfParamSheet::Apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    Fill();
}

void CSfParamSheet::Fill() {
    FillParamPage(*sonPage_, settings_.Son());
    FillParamPage(*fftPage_, settings_.Fft());
    fftPage_->levelAuto = (settings_.YScale() & kScaleAuto) ? 1 : 0;
    fftPage_->levelScale = ScaleChoice(settings_.YScale(), 2);
    fftPage_->freqAuto = (settings_.XScale() & kScaleAuto) ? 1 : 0;
    fftPage_->freqScale = ScaleChoice(settings_.XScale(), 3);
    fftPage_->method = settings_.Method();
    fftPage_->CepFreq = settings_.Fft().CepFreq;
    generalPage_->referenceHz = settings_.Btf();
    generalPage_->notation = settings_.Btn();
    generalPage_->cent = 0.0;
    generalPage_->dataLogPath = QString::fromStdString(settings_.DataLogFile());
    generalPage_->initialDir = QString::fromStdString(settings_.DataLogInitDir());
    generalPage_->filterIndex = settings_.DataLogFilterNdx();
    sonPage_->Open();
    fftPage_->Open();
    generalPage_->Open();
}

void CSfParamSheet::accept() {
    if (Apply())
        QDialog::accept();
}

bool CSfParamSheet::Apply() {
    const auto refuse = [this](QWidget* page, const char* message, QLineEdit* field) {
        // The page the fault is on comes to the front with the field.
        tabs_->setCurrentWidget(page);
        desktop_.ShowMessage(message, MessageIcon::Information);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return false;
    };
    for (CSfParamFftPage* page : {sonPage_, fftPage_})
        if (const auto fault = page->FirstFault())
            return refuse(page, fault->message, fault->field);
    if (const auto fault = generalPage_->FirstFault())
        return refuse(generalPage_, fault->message, fault->field);
    sonPage_->Exchange();
    fftPage_->Exchange();
    generalPage_->Exchange();
    Store();
    // The cent shift is now part of the reference pitch: the page shows the
    // new pitch and no shift, so a second Apply does not shift it again.
    generalPage_->referenceHz = settings_.Btf();
    generalPage_->cent = 0.0;
    generalPage_->Open();
    emit Applied();
    return true;
}

void CSfParamSheet::Store() {
    StoreParamPage(*sonPage_, settings_.Son());
    settings_.SaveSon();

    StoreParamPage(*fftPage_, settings_.Fft());
    settings_.SetYScale(ScaleFlags(fftPage_->levelScale, fftPage_->levelAuto, settings_.YScale()));
    settings_.SetXScale(ScaleFlags(fftPage_->freqScale, fftPage_->freqAuto, settings_.XScale()));
    settings_.SetMethod(fftPage_->method);
    settings_.Fft().CepFreq = fftPage_->CepFreq;
    settings_.SetCepFreq(fftPage_->CepFreq);
    settings_.SaveFft();

    settings_.SaveRms();

    settings_.SetBtf(generalPage_->referenceHz * std::pow(2.0, generalPage_->cent / 1200.0));
    settings_.SetBtn(generalPage_->notation);
    settings_.SetDataLogFile(generalPage_->dataLogPath.toStdString());
    settings_.SetDataLogInitDir(generalPage_->initialDir.toStdString());
    settings_.SetDataLogFilterNdx(generalPage_->filterIndex);
    settings_.SaveGeneral();
}
