#include "soundfile/ui/CRawFormatDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

namespace {

QLineEdit* NumberEdit(const QString& objectName, qlonglong value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setObjectName(objectName);
    return edit;
}

} // namespace

CRawFormatDlg::CRawFormatDlg(const QString& fileName, const RawFormat& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setWindowTitle("Dialog");
    setWhatsThis("The file has no header Kavirel knows: give its sample rate, channels, bytes "
                 "per sample, the offset of the sound data and the byte order.");
    auto* form = new QFormLayout;
    fileName_ = new QLabel(QFileInfo(fileName).fileName(), this);
    fileName_->setObjectName("1000");
    fileName_->setToolTip(fileName);
    form->addRow("Filename: ", fileName_);
    rate_ = NumberEdit("1005", values.rate, this);
    channels_ = NumberEdit("1006", values.channels, this);
    bytesPerSample_ = NumberEdit("1007", values.bytesPerSample, this);
    dataOffset_ = NumberEdit("1060", values.dataOffset, this);
    form->addRow("Sr: ", rate_);
    form->addRow("Nch:", channels_);
    form->addRow("Bps: ", bytesPerSample_);
    form->addRow("DataOffset", dataOffset_);

    lsb_ = new QRadioButton("LSB", this);
    lsb_->setObjectName("1065");
    msb_ = new QRadioButton("MSB", this);
    msb_->setObjectName("1069");
    (values.msbFirst ? msb_ : lsb_)->setChecked(true);
    auto* order = new QHBoxLayout;
    order->addWidget(lsb_);
    order->addWidget(msb_);
    form->addRow(QString(), order);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRawFormatDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRawFormatDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CRawFormatDlg::accept() {
    // Each field must be a number, and the width one the program reads; the
    // dialog stays open on the first field that is not.
    struct Field {
        QLineEdit* edit;
        qlonglong min, max;
    } fields[] = {{rate_, INT32_MIN, INT32_MAX},
                  {channels_, INT32_MIN, INT32_MAX},
                  {bytesPerSample_, 1, 4},
                  {dataOffset_, 0, std::numeric_limits<qlonglong>::max()}};
    qlonglong numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = fields[i].edit->text().trimmed().toLongLong(&ok);
        if (!ok || numbers[i] < fields[i].min || numbers[i] > fields[i].max) {
            const QString message = ok ? QString("Please enter an integer between %1 and %2.")
                                             .arg(fields[i].min)
                                             .arg(fields[i].max)
                                       : QString("Please enter an integer.");
            QMessageBox::warning(this, windowTitle(), message);
            fields[i].edit->setFocus();
            fields[i].edit->selectAll();
            return;
        }
    }
    values_.rate = int32_t(numbers[0]);
    values_.channels = int32_t(numbers[1]);
    values_.bytesPerSample = int32_t(numbers[2]);
    values_.dataOffset = numbers[3];
    values_.msbFirst = msb_->isChecked();
    QDialog::accept();
}
