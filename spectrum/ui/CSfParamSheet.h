// The Analysis options: the defaults new analysis items take, on the pages
// "SON" (sonagrams), "FFT" (spectra) and "General" (note names and the data
// log). Items that exist keep their parameters.
#pragma once

#include <QDialog>

class CSfParamFftPage;
class CSfParamGenPage;
class CSfSettings;
class DesktopServices;
class QTabWidget;

class CSfParamSheet : public QDialog {
    Q_OBJECT
public:
    // Shows the settings' values. Run it with exec(): OK and Apply write the
    // pages back into settings and save every section, the RMS values
    // unchanged, and signal Applied; Cancel changes nothing further. The
    // caller reopens the data log under the settings' path on Applied.
    CSfParamSheet(CSfSettings& settings, DesktopServices& desktop, QWidget* parent = nullptr);

    CSfParamFftPage& SonPage() const { return *sonPage_; }
    CSfParamFftPage& FftPage() const { return *fftPage_; }
    CSfParamGenPage& GeneralPage() const { return *generalPage_; }
    QTabWidget& Pages() const { return *tabs_; }

    // Refuses a value that cannot be analysed or named, on the page that
    // holds it with the focus on its field, and keeps the sheet open.
    void accept() override;
    // Validates and stores as OK does, and keeps the sheet open.
    bool Apply();

signals:
    void Applied();

private:
    void Fill();
    void Store();

    CSfSettings& settings_;
    DesktopServices& desktop_;
    QTabWidget* tabs_;
    CSfParamFftPage* sonPage_;
    CSfParamFftPage* fftPage_;
    CSfParamGenPage* generalPage_;
};
