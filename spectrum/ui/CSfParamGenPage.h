// The "General" page of the Analysis options: the reference pitch of note
// names with a shift in cents, the notation, and the data-log file.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

class QComboBox;
class QLineEdit;

class CSfParamGenPage : public QWidget {
    Q_OBJECT
public:
    // Control ids, kept as the controls' object names.
    enum Control {
        kReferenceEdit = 1061,
        kCentEdit = 1066,
        kNotationList = 1070,
        kDataLogEdit = 1075,
        kBrowseButton = 1076,
    };

    explicit CSfParamGenPage(QWidget* parent = nullptr);

    // The values the sheet fills in before Open and reads after Exchange.
    double referenceHz = 440.0;
    int notation = 0;
    double cent = 0.0;
    QString dataLogPath;
    // Where the data-log dialog opens and which of its filters it shows
    // first (1-based); the dialog keeps them up to date.
    QString initialDir;
    int filterIndex = 1;

    void Open();
    // The first field whose text cannot be taken: a reference pitch outside
    // the range note names are reckoned in, before or after the cent shift,
    // a text that is no number, or no data-log file.
    struct Fault {
        const char* message;
        QLineEdit* field;
    };
    std::optional<Fault> FirstFault() const;
    void Exchange();
    // The file types the data-log dialog offers, in their stored order.
    static const QStringList& DataLogFilters();

private:
    void ChooseDataLog();

    QLineEdit* referenceEdit_;
    QComboBox* notationList_;
    QLineEdit* centEdit_;
    QLineEdit* dataLogEdit_;
};
