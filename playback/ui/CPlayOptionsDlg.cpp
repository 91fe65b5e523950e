#include "playback/ui/CPlayOptionsDlg.h"

#include "playback/CSfPlay.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

int BlockLengthIndex(int32_t length) {
    int index = 0;
    while ((PlaySettings::kMinBlockLength << index) < length)
        ++index;
    return index;
}

QLabel* Label(const char* text, Qt::Alignment alignment, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// Digits only, as a number-only edit takes them.
QLineEdit* NumberEdit(int id, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

} // namespace

CPlayOptionsDlg::CPlayOptionsDlg(CSfPlay& player, QWidget* parent)
    : QDialog(parent), player_(&player) {
    setWindowTitle(QStringLiteral("Playoptions"));
    setWhatsThis(QStringLiteral("The sound output and how playback streams: the device, the "
                                "length and number of the queued blocks, how often the playback "
                                "cursor moves, and whether cursor keys play a short piece."));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    device_ = new QComboBox(this);
    device_->setObjectName(QString::number(kDeviceList));
    blockLength_ = new QComboBox(this);
    blockLength_->setObjectName(QString::number(kBlockLengthList));
    blockNumber_ = new QComboBox(this);
    blockNumber_->setObjectName(QString::number(kBlockNumberList));
    refresh_ = NumberEdit(kRefreshEdit, this);
    ratio_ = NumberEdit(kRatioEdit, this);
    ratio_->setEnabled(false);
    convert_ = new QCheckBox(QStringLiteral("Convert 8 to 16 Bit"), this);
    convert_->setObjectName(QString::number(kConvertCheck));
    withCursor_ = new QCheckBox(QStringLiteral("Play with Cursor"), this);
    withCursor_->setObjectName(QString::number(kWithCursorCheck));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &CPlayOptionsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CPlayOptionsDlg::reject);

    Place(Label("Preferred Devices", Qt::AlignHCenter, this), 19, 7, 125, 10);
    Place(device_, 9, 20, 145, 12);
    Place(Label("Blocklength:", Qt::AlignRight, this), 16, 42, 58, 10);
    Place(blockLength_, 79, 39, 75, 12);
    Place(Label("Number of Blocks:", Qt::AlignRight, this), 16, 58, 58, 10);
    Place(blockNumber_, 79, 55, 75, 12);
    Place(Label("Display Refresh (ms):", Qt::AlignRight, this), 10, 76, 70, 8);
    Place(refresh_, 86, 74, 40, 12);
    Place(Label("Play Ratio %:", Qt::AlignRight, this), 10, 92, 70, 10);
    Place(ratio_, 85, 90, 40, 12);
    Place(convert_, 26, 107, 75, 10);
    Place(withCursor_, 26, 118, 66, 10);
    Place(ok, 22, 137, 50, 14);
    Place(cancel, 88, 137, 50, 14);
    Place(this, 0, 0, 161, 162);

    const PlaySettings& s = player.Settings();
    for (const std::string& name : player.DeviceNames())
        device_->addItem(QString::fromStdString(name));
    // A device that has gone since it was chosen matches no entry.
    device_->setCurrentIndex(s.DeviceID + 1 < device_->count() ? s.DeviceID + 1 : -1);
    for (int32_t length = PlaySettings::kMinBlockLength; length <= PlaySettings::kMaxBlockLength;
         length *= 2)
        blockLength_->addItem(QString::number(length));
    blockLength_->setCurrentIndex(BlockLengthIndex(s.BlockLength));
    for (int32_t n = PlaySettings::kMinBlockNumber; n <= PlaySettings::kMaxBlockNumber; ++n)
        blockNumber_->addItem(QString::number(n));
    blockNumber_->setCurrentIndex(s.BlockNumber - PlaySettings::kMinBlockNumber);
    refresh_->setText(QString::number(s.DisplayRefresh));
    ratio_->setText(QString::number(s.PlayRatio));
    withCursor_->setChecked(s.PlayWithCursor != 0);
    convert_->setChecked(s.EightBitSigned != 0);
}

// Positions in dialog units: a quarter of the font's average character
// width across, an eighth of its height down.
void CPlayOptionsDlg::Place(QWidget* control, int x, int y, int width, int height) {
    const QFontMetrics metrics(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    const int baseY = metrics.height();
    const QRect rect(x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8);
    if (control == this)
        setFixedSize(rect.size());
    else
        control->setGeometry(rect);
}

bool CPlayOptionsDlg::TakeNumber(QLineEdit* edit, int min, int max, int32_t& value) {
    bool ok = false;
    const int number = edit->text().toInt(&ok);
    if (ok && number >= min && number <= max) {
        value = number;
        return true;
    }
    const QString text =
        ok ? QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max)
           : QStringLiteral("Please enter an integer.");
    QMessageBox::warning(this, windowTitle(), text);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void CPlayOptionsDlg::accept() {
    PlaySettings s = player_->Settings();
    // With no entry chosen the stored device stays, whatever it is.
    if (device_->currentIndex() >= 0)
        s.DeviceID = device_->currentIndex() - 1;
    s.BlockLength = PlaySettings::kMinBlockLength << blockLength_->currentIndex();
    s.BlockNumber = blockNumber_->currentIndex() + PlaySettings::kMinBlockNumber;
    if (!TakeNumber(refresh_, PlaySettings::kMinDisplayRefresh, PlaySettings::kMaxDisplayRefresh,
                    s.DisplayRefresh) ||
        !TakeNumber(ratio_, PlaySettings::kMinPlayRatio, PlaySettings::kMaxPlayRatio, s.PlayRatio))
        return;
    s.PlayWithCursor = withCursor_->isChecked() ? 1 : 0;
    s.EightBitSigned = convert_->isChecked() ? 1 : 0;
    player_->SetSettings(s);
    player_->SavePlaySettings();
    QDialog::accept();
}
