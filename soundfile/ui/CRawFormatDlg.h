// The raw-format dialog: the sample format of a file without a header that
// the program knows.
#pragma once

#include "soundfile/DesktopServices.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QLabel;

class CRawFormatDlg : public QDialog {
    Q_OBJECT
public:
    CRawFormatDlg(const QString& fileName, const RawFormat& values, QWidget* parent = nullptr);

    // The values typed in; valid after the dialog was accepted.
    RawFormat Values() const { return values_; }

    void accept() override;

private:
    QLabel* fileName_;
    QLineEdit* rate_;
    QLineEdit* channels_;
    QLineEdit* bytesPerSample_;
    QLineEdit* dataOffset_;
    QRadioButton* lsb_;
    QRadioButton* msb_;
    RawFormat values_;
};
