#include "spectrum/ui/CSfParamGenPage.h"

#include "drawing/NumberText.h"
#include "soundfile/AnalysisLimits.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

QString Number(double value) {
    return QString::fromStdString(PrintG(value));
}

double TextDouble(const QLineEdit* edit) {
    return LeadingDouble(edit->text().toStdString());
}

std::optional<double> RealNumber(const QLineEdit* edit) {
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

CSfParamGenPage::CSfParamGenPage(QWidget* parent) : QWidget(parent) {
    setWhatsThis("The pitch note names are measured from, their notation, and the file "
                 "measurements are written to with the key W.");
    referenceEdit_ = new QLineEdit;
    referenceEdit_->setObjectName(QString::number(kReferenceEdit));
    referenceEdit_->setWhatsThis("The frequency of the note A in Hz that note names and their "
                                 "cent deviations are counted from.");
    centEdit_ = new QLineEdit;
    centEdit_->setObjectName(QString::number(kCentEdit));
    centEdit_->setWhatsThis("Raises (or, negative, lowers) the reference frequency by this many "
                            "cents when the options are accepted; 100 cents are a semitone.");
    notationList_ = new QComboBox;
    notationList_->setObjectName(QString::number(kNotationList));
    notationList_->setWhatsThis("US: B and B flat are named B and Bb; GR: H and B.");
    dataLogEdit_ = new QLineEdit;
    dataLogEdit_->setObjectName(QString::number(kDataLogEdit));
    dataLogEdit_->setWhatsThis("The data-log file: a text file of tab-separated measurement "
                               "lines, appended to by the key W in the spectrum and sonagram "
                               "windows.");
    auto* browse = new QPushButton("...");
    browse->setObjectName(QString::number(kBrowseButton));
    browse->setWhatsThis("Chooses the data-log file.");
    connect(browse, &QPushButton::clicked, this, &CSfParamGenPage::ChooseDataLog);

    const int numberWidth = referenceEdit_->fontMetrics().horizontalAdvance("000000000") + 12;
    referenceEdit_->setMaximumWidth(numberWidth);
    centEdit_->setMaximumWidth(numberWidth);
    browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance("...") + 24);
    auto* reference = new QGroupBox("Reference Frequency");
    auto* referenceForm = new QFormLayout(reference);
    referenceForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    referenceForm->addRow("A = Frequ:", referenceEdit_);
    referenceForm->addRow("+/-Cent:", centEdit_);
    referenceForm->addRow("Notation:", notationList_);

    auto* dataLog = new QGroupBox("Data Log File");
    auto* dataLogRow = new QHBoxLayout(dataLog);
    dataLogRow->addWidget(dataLogEdit_, 1);
    dataLogRow->addWidget(browse);

    auto* page = new QVBoxLayout(this);
    page->addWidget(reference);
    page->addWidget(dataLog);
    page->addStretch(1);
}

const QStringList& CSfParamGenPage::DataLogFilters() {
    static const QStringList filters = {"EXCEL Worksheet (*.xls)", "WORDPAD Files (*.wri)",
                                        "TXT Files (*.txt)", "ALL Files (*)"};
    return filters;
}

void CSfParamGenPage::Open() {
    referenceEdit_->setText(Number(referenceHz));
    notationList_->clear();
    notationList_->addItems({"US", "GR"});
    notationList_->setCurrentIndex(notation >= 0 && notation < 2 ? notation : -1);
    centEdit_->setText(Number(cent));
    dataLogEdit_->setText(dataLogPath);
}

std::optional<CSfParamGenPage::Fault> CSfParamGenPage::FirstFault() const {
    const std::optional<double> hz = RealNumber(referenceEdit_);
    if (!hz || !ValidReferencePitch(*hz))
        return Fault{"A = Frequ must be a number from 100 to 1000 Hz", referenceEdit_};
    const std::optional<double> shift = RealNumber(centEdit_);
    if (!shift || !ValidReferencePitch(*hz * std::pow(2.0, *shift / 1200.0)))
        return Fault{"+/-Cent must keep A = Frequ from 100 to 1000 Hz", centEdit_};
    if (dataLogEdit_->text().trimmed().isEmpty())
        return Fault{"Choose a data-log file", dataLogEdit_};
    return std::nullopt;
}

void CSfParamGenPage::Exchange() {
    referenceHz = TextDouble(referenceEdit_);
    notation = notationList_->currentIndex();
    cent = TextDouble(centEdit_);
    dataLogPath = dataLogEdit_->text();
}

void CSfParamGenPage::ChooseDataLog() {
    QFileDialog dialog(this, "Select Data Log File", initialDir);
    // The log is appended to: a file that does not exist yet is a fine
    // choice, and choosing an existing one overwrites nothing.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(DataLogFilters());
    if (filterIndex >= 1 && filterIndex <= DataLogFilters().size())
        dialog.selectNameFilter(DataLogFilters()[filterIndex - 1]);
    // The lines are tab-separated text, whatever the name says.
    dialog.setDefaultSuffix("txt");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().first();
    dataLogPath = chosen;
    dataLogEdit_->setText(chosen);
    initialDir = QFileInfo(chosen).absolutePath() + "/";
    filterIndex = int(DataLogFilters().indexOf(dialog.selectedNameFilter())) + 1;
}
