// The Analysis options over a real settings file: the transform list that sets
// window and shift, the refusals with their focus, the cent shift of the
// reference pitch, the cut-off kept across method changes, the controls each
// page offers, Cancel, and the defaults a new spectrum then takes.
#include "support/AnalysisFiles.h"

#include "soundfile/CSfSettings.h"
#include "soundfile/FftScale.h"
#include "soundfile/QtSettingsStore.h"
#include "spectrum/CSfFft.h"
#include "spectrum/ui/CSfParamFftPage.h"
#include "spectrum/ui/CSfParamGenPage.h"
#include "spectrum/ui/CSfParamSheet.h"
#include "spectrum/ui/SpectrumWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

template <typename T = QWidget> T* Control(const QWidget& page, int id) {
    return page.findChild<T*>(QString::number(id));
}

QLineEdit* Edit(const QWidget& page, int id) {
    return Control<QLineEdit>(page, id);
}

QString SettingsFile(const std::string& config) {
    return QString::fromStdString(config) + "/TOLQ/Kavirel.conf";
}

} // namespace

class ParamSheetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> config_;
    std::unique_ptr<QtSettingsStore> store_;
    std::unique_ptr<CSfSettings> settings_;
    RecordingDesktop desktop_;

    // The settings as the program loads them at start-up.
    void Load() {
        settings_.reset();
        store_.reset();
        store_ = std::make_unique<QtSettingsStore>();
        settings_ = std::make_unique<CSfSettings>(*store_);
    }

private slots:
    void init() {
        config_ = std::make_unique<TempDir>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_->Path()));
        desktop_ = RecordingDesktop();
        Load();
    }

    void cleanup() {
        settings_.reset();
        store_.reset();
        config_.reset();
    }

    void choosingALengthSetsWindowAndShift_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("SON") << 0;
        QTest::newRow("FFT") << 1;
    }
    void choosingALengthSetsWindowAndShift() {
        QFETCH(int, page);
        CSfParamSheet sheet(*settings_, desktop_);
        const QWidget& p = *sheet.Pages().widget(page);
        auto* lengths = Control<QComboBox>(p, CSfParamFftPage::kLfftList);
        QCOMPARE(lengths->count(), 17);
        QCOMPARE(lengths->itemText(0), QString("16"));
        QCOMPARE(lengths->itemText(16), QString("1048576"));
        QCOMPARE(lengths->currentText(), page == 0 ? QString("1024") : QString("2048"));
        Edit(p, CSfParamFftPage::kLwdwEdit)->setText("100");
        lengths->setCurrentText("4096");
        QCOMPARE(Edit(p, CSfParamFftPage::kLwdwEdit)->text(), QString("4096"));
        QCOMPARE(Edit(p, CSfParamFftPage::kShiftEdit)->text(), QString("4096"));
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        const FftSettings& record = page == 0 ? settings_->Son() : settings_->Fft();
        QCOMPARE(record.Lfft, 4096);
        QCOMPARE(record.Lwdw, 4096);
        QCOMPARE(record.Shift, 4096);
        Load();
        const FftSettings& reloaded = page == 0 ? settings_->Son() : settings_->Fft();
        QCOMPARE(reloaded.Lfft, 4096);
        QCOMPARE(reloaded.Shift, 4096);
    }

    void theLevelReferenceAndAverageAreKeptPerPage() {
        CSfParamSheet sheet(*settings_, desktop_);
        const QWidget& son = *sheet.Pages().widget(0);
        const QWidget& fft = *sheet.Pages().widget(1);
        // The stated reference and average are what a new user sees.
        QCOMPARE(son.findChild<QComboBox*>("LevelRef")->currentText(), QString("dB re 1 LSB"));
        QCOMPARE(fft.findChild<QComboBox*>("Average")->currentText(), QString("mean of dB"));
        QVERIFY(!son.findChild<QComboBox*>("Average"));
        son.findChild<QComboBox*>("LevelRef")->setCurrentText("dBFS");
        fft.findChild<QComboBox*>("Average")->setCurrentText("power mean");
        sheet.accept();
        Load();
        QCOMPARE(settings_->Son().LevelRef, kLevelRefFullScale);
        QCOMPARE(settings_->Fft().LevelRef, kLevelRefLsb);
        QCOMPARE(settings_->Fft().Average, kAveragePower);
    }

    void faultsAreRefusedOnTheirField_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        using P = CSfParamFftPage;
        QTest::newRow("min = max") << 1 << int(P::kMinEdit) << "8000"
                                   << "fMin >= fMax" << int(P::kMinEdit);
        QTest::newRow("max below min") << 1 << int(P::kMaxEdit) << "0"
                                       << "fMin >= fMax" << int(P::kMinEdit);
        QTest::newRow("empty range") << 1 << int(P::kRangeEdit) << ""
                                     << "Ra <= 0" << int(P::kRangeEdit);
        QTest::newRow("zero shift") << 1 << int(P::kShiftEdit) << "0"
                                    << "Shift <= 0" << int(P::kShiftEdit);
        QTest::newRow("shift not a number") << 1 << int(P::kShiftEdit) << "x"
                                            << "Shift <= 0" << int(P::kShiftEdit);
        QTest::newRow("SON band") << 0 << int(P::kMaxEdit) << "0"
                                  << "fMin >= fMax" << int(P::kMaxEdit);
        QTest::newRow("SON range") << 0 << int(P::kRangeEdit) << "0"
                                   << "Ra <= 0" << int(P::kRangeEdit);
        const QString window = "Lwdw must be a whole number from 1 to Lfft";
        QTest::newRow("window beyond transform")
            << 1 << int(P::kLwdwEdit) << "99999" << window << int(P::kLwdwEdit);
        QTest::newRow("window with letters")
            << 1 << int(P::kLwdwEdit) << "12x" << window << int(P::kLwdwEdit);
        QTest::newRow("SON window zero")
            << 0 << int(P::kLwdwEdit) << "0" << window << int(P::kLwdwEdit);
        QTest::newRow("window as long as transform") << 1 << int(P::kLwdwEdit) << " 2048 "
                                                     << "" << 0;
        const QString shift = "Shift must be a whole number from 1 to Lfft";
        QTest::newRow("shift beyond frame")
            << 1 << int(P::kShiftEdit) << "4096" << shift << int(P::kShiftEdit);
        QTest::newRow("shift with letters")
            << 1 << int(P::kShiftEdit) << "12x" << shift << int(P::kShiftEdit);
        QTest::newRow("floor no number")
            << 1 << int(P::kFloorEdit) << "-"
            << "Fl must be a whole number from -2000 to 2000 dB" << int(P::kFloorEdit);
        QTest::newRow("negative floor") << 1 << int(P::kFloorEdit) << "-30"
                                        << "" << 0;
        QTest::newRow("range too wide")
            << 1 << int(P::kRangeEdit) << "5000"
            << "Ra must be a whole number from 1 to 2000 dB" << int(P::kRangeEdit);
        QTest::newRow("max beyond any rate")
            << 0 << int(P::kMaxEdit) << "2000000"
            << "fMax must be a number of Hz up to 1000000" << int(P::kMaxEdit);
        const QString pitch = "A = Frequ must be a number from 100 to 1000 Hz";
        using G = CSfParamGenPage;
        QTest::newRow("pitch not a number")
            << 2 << int(G::kReferenceEdit) << "abc" << pitch << int(G::kReferenceEdit);
        QTest::newRow("pitch too low")
            << 2 << int(G::kReferenceEdit) << "50" << pitch << int(G::kReferenceEdit);
        QTest::newRow("pitch at lowest") << 2 << int(G::kReferenceEdit) << "100"
                                         << "" << 0;
        QTest::newRow("cents beyond range")
            << 2 << int(G::kCentEdit) << "4000"
            << "+/-Cent must keep A = Frequ from 100 to 1000 Hz" << int(G::kCentEdit);
        QTest::newRow("cents no number")
            << 2 << int(G::kCentEdit) << "x"
            << "+/-Cent must keep A = Frequ from 100 to 1000 Hz" << int(G::kCentEdit);
        QTest::newRow("no data log") << 2 << int(G::kDataLogEdit) << " "
                                     << "Choose a data-log file" << int(G::kDataLogEdit);
    }
    void faultsAreRefusedOnTheirField() {
        QFETCH(int, page);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(int, focus);
        CSfParamSheet sheet(*settings_, desktop_);
        sheet.show();
        sheet.Pages().setCurrentIndex(page == 2 ? 0 : 2);
        Edit(*sheet.Pages().widget(page), field)->setText(text);
        sheet.accept();
        if (message.isEmpty()) {
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
            QVERIFY(desktop_.messages.empty());
            QCOMPARE(settings_->Fft().Fmin, 0.0f);
            return;
        }
        QVERIFY(sheet.isVisible());
        QCOMPARE(int(desktop_.messages.size()), 1);
        QCOMPARE(QString::fromStdString(desktop_.messages[0].first), message);
        QCOMPARE(desktop_.messages[0].second, MessageIcon::Information);
        QCOMPARE(sheet.Pages().currentIndex(), page);
        QCOMPARE(sheet.focusWidget(), Edit(*sheet.Pages().widget(page), focus));
        // Nothing was taken over.
        QCOMPARE(settings_->Fft().Fmax, 8000.0f);
        QCOMPARE(settings_->Fft().Range, 70);
        QVERIFY(!QFile::exists(SettingsFile(config_->Path())));
    }

    void applyStoresOnceAndKeepsTheSheetOpen() {
        CSfParamSheet sheet(*settings_, desktop_);
        int applied = 0;
        connect(&sheet, &CSfParamSheet::Applied, this, [&applied] { ++applied; });
        sheet.show();
        auto* apply = sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply);
        QVERIFY(apply);
        const QWidget& general = sheet.GeneralPage();
        // A refused value stores nothing and says why, as OK does.
        Edit(sheet.FftPage(), CSfParamFftPage::kLwdwEdit)->setText("99999");
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(applied, 0);
        QCOMPARE(int(desktop_.messages.size()), 1);
        QCOMPARE(sheet.Pages().currentIndex(), 1);
        Edit(sheet.FftPage(), CSfParamFftPage::kLwdwEdit)->setText("1000");
        Edit(general, CSfParamGenPage::kCentEdit)->setText("100");
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(applied, 1);
        QVERIFY(sheet.isVisible());
        QCOMPARE(settings_->Fft().Lwdw, 1000);
        QCOMPARE(store_->GetInt("Fft", "Lwdw", 0), 1000);
        QCOMPARE(Edit(general, CSfParamGenPage::kCentEdit)->text(), QString("0"));
        // OK after Apply shifts the pitch no further.
        sheet.accept();
        QCOMPARE(applied, 2);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        // 466.164 as the page shows it, not 493.9.
        QVERIFY(std::abs(settings_->Btf() - 440.0 * std::pow(2.0, 1.0 / 12)) < 1e-3);
    }

    void centsShiftTheReferenceOnceAndShowZeroAgain() {
        {
            CSfParamSheet sheet(*settings_, desktop_);
            const QWidget& general = sheet.GeneralPage();
            QCOMPARE(Edit(general, CSfParamGenPage::kReferenceEdit)->text(), QString("440"));
            QCOMPARE(Edit(general, CSfParamGenPage::kCentEdit)->text(), QString("0"));
            Edit(general, CSfParamGenPage::kCentEdit)->setText("100");
            sheet.accept();
        }
        QVERIFY(std::abs(settings_->Btf() - 440.0 * std::pow(2.0, 1.0 / 12)) < 1e-9);
        QCOMPARE(store_->GetString("General", "Btf", ""), std::string("466.164"));
        CSfParamSheet again(*settings_, desktop_);
        QCOMPARE(Edit(again.GeneralPage(), CSfParamGenPage::kCentEdit)->text(), QString("0"));
        QCOMPARE(Edit(again.GeneralPage(), CSfParamGenPage::kReferenceEdit)->text(),
                 QString("466.164"));
    }

    void switchingTheMethodKeepsTheTypedCutOff() {
        CSfParamSheet sheet(*settings_, desktop_);
        sheet.show();
        sheet.Pages().setCurrentIndex(1);
        const QWidget& fft = sheet.FftPage();
        QLineEdit* hz = Edit(fft, CSfParamFftPage::kCepFreqEdit);
        auto* standard = Control<QRadioButton>(fft, CSfParamFftPage::kStandard);
        auto* cepSmooth = Control<QRadioButton>(fft, CSfParamFftPage::kCepSmooth);
        QVERIFY(standard->isChecked());
        QVERIFY(hz->text().isEmpty() && hz->isReadOnly());
        QTest::mouseClick(cepSmooth, Qt::LeftButton);
        QCOMPARE(hz->text(), QString("500"));
        QVERIFY(!hz->isReadOnly());
        hz->setText("750");
        QTest::mouseClick(standard, Qt::LeftButton);
        QVERIFY(hz->text().isEmpty() && hz->isReadOnly());
        QTest::mouseClick(standard, Qt::LeftButton);
        QTest::mouseClick(cepSmooth, Qt::LeftButton);
        QCOMPARE(hz->text(), QString("750"));
        sheet.accept();
        QCOMPARE(settings_->Method(), 1);
        QCOMPARE(settings_->Fft().CepFreq, 750.0);
        QCOMPARE(store_->GetInt("Fft", "CepFreq", 0), 750);
    }

    void eachPageOffersItsOwnControls() {
        CSfParamSheet sheet(*settings_, desktop_);
        using P = CSfParamFftPage;
        const QWidget& son = sheet.SonPage();
        const QWidget& fft = sheet.FftPage();
        for (int id :
             {P::kLevelAuto, P::kLevelLin, P::kLevelLog, P::kFreqAuto, P::kFreqLin, P::kFreqLog,
              P::kFreqBark, P::kStandard, P::kCepSmooth, P::kMasking, P::kCepFreqEdit}) {
            QVERIFY2(!Control(son, id), qPrintable(QString::number(id)));
            QVERIFY2(Control(fft, id), qPrintable(QString::number(id)));
        }
        for (int id : {P::kFloorEdit, P::kMinEdit, P::kShiftEdit})
            QVERIFY(!Control(son, id)->isEnabled());
        for (int id : {P::kFloorEdit, P::kMinEdit, P::kShiftEdit, P::kRangeEdit, P::kMaxEdit})
            QVERIFY(Control(fft, id)->isEnabled());
        // Log and Bark frequency axes are offered; masking is not.
        for (int id : {P::kFreqLog, P::kFreqBark})
            QVERIFY(Control(fft, id)->isEnabled());
        QVERIFY(!Control(fft, P::kMasking)->isEnabled());
        QCOMPARE(Control<QComboBox>(fft, P::kWindowList)->currentText(), QString("Blackman"));
        // Range and maximum take digits only; the FFT page's minimum too.
        QLineEdit* range = Edit(son, P::kRangeEdit);
        range->clear();
        QTest::keyClicks(range, "-7a5");
        QCOMPARE(range->text(), QString("75"));
        QLineEdit* floor = Edit(fft, P::kFloorEdit);
        floor->clear();
        QTest::keyClicks(floor, "-7");
        QCOMPARE(floor->text(), QString("-7"));
    }

    void cancelLeavesTheSettingsFileUntouched() {
        settings_->SetMin(-12.25);
        settings_->SetBtf(442.5);
        settings_->SaveRms();
        settings_->SaveGeneral();
        store_->Sync();
        const QString file = SettingsFile(config_->Path());
        const Bytes before = ReadFileBytes(file.toStdString());
        QVERIFY(!before.empty());
        {
            CSfParamSheet sheet(*settings_, desktop_);
            Control<QComboBox>(sheet.FftPage(), CSfParamFftPage::kLfftList)->setCurrentText("512");
            Edit(sheet.GeneralPage(), CSfParamGenPage::kCentEdit)->setText("50");
            sheet.reject();
        }
        QCOMPARE(settings_->Fft().Lfft, 2048);
        QCOMPARE(settings_->Btf(), 442.5);
        Load();
        QVERIFY(ReadFileBytes(file.toStdString()) == before);
    }

    void aNewSpectrumTakesTheAcceptedDefaults() {
        CSfParamSheet sheet(*settings_, desktop_);
        const QWidget& fft = sheet.FftPage();
        using P = CSfParamFftPage;
        Control<QComboBox>(fft, P::kLfftList)->setCurrentText("512");
        Control<QComboBox>(fft, P::kWindowList)->setCurrentIndex(2);
        Control<QCheckBox>(fft, P::kLevelAuto)->setChecked(false);
        Control<QRadioButton>(fft, P::kLevelLin)->setChecked(true);
        Control<QCheckBox>(fft, P::kFreqAuto)->setChecked(false);
        Edit(fft, P::kMaxEdit)->setText("4000");
        settings_->SetMin(-12.25);
        sheet.accept();
        QCOMPARE(settings_->YScale(), uint32_t(kScaleLin));
        QCOMPARE(settings_->XScale(), uint32_t(kScaleLin));
        // The RMS values are written back as they were.
        QCOMPARE(store_->GetString("Rms", "Min", ""), std::string("-12.25"));
        QCOMPARE(store_->GetInt("Fft", "YScale", 0), 1);

        TempDir files;
        std::unique_ptr<CSfHead> head = OpenSamples(files, Sine(8000, 440, 8000, 1000), 8000);
        SetHeadTask(*head, 1000, 1000);
        std::unique_ptr<CSfBase> item = MakeSpectrumItem(*head, *settings_);
        auto* spectrum = dynamic_cast<CSfFft*>(item.get());
        QVERIFY(spectrum);
        QCOMPARE(spectrum->Param().Lfft, 512);
        QCOMPARE(spectrum->Param().IWin, 2);
        QCOMPARE(spectrum->Param().Fmax, 4000.0f);
        QCOMPARE(spectrum->YScale(), uint32_t(kScaleLin));
        QCOMPARE(spectrum->XScale(), uint32_t(kScaleLin));
    }
};

QTEST_MAIN(ParamSheetTest)
#include "ParamSheetTest.moc"
