// The play options dialog: output device, block length and count of the
// streaming ring, position report interval, speed ratio (shown, not
// editable), 8-to-16-bit conversion and cursor-key playback.
#pragma once

#include "playback/PlaySettings.h"

#include <QDialog>

class CSfPlay;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

class CPlayOptionsDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids, kept as the controls' object names.
    enum Control {
        kDeviceList = 1051,
        kBlockNumberList = 1052,
        kBlockLengthList = 1053,
        kRefreshEdit = 1054,
        kRatioEdit = 1055,
        kConvertCheck = 1072,
        kWithCursorCheck = 1074,
    };

    // Shows the player's settings and devices. Run it with exec(): on OK the
    // player takes the new settings for its next playback and writes them to
    // the settings store at once; Cancel changes nothing.
    explicit CPlayOptionsDlg(CSfPlay& player, QWidget* parent = nullptr);

    // Takes the values back; a refresh or ratio out of range is refused with
    // a message and the dialog stays open on that field.
    void accept() override;

private:
    void Place(QWidget* control, int x, int y, int width, int height);
    bool TakeNumber(QLineEdit* edit, int min, int max, int32_t& value);

    CSfPlay* player_;
    QComboBox* device_;
    QComboBox* blockLength_;
    QComboBox* blockNumber_;
    QLineEdit* refresh_;
    QLineEdit* ratio_;
    QCheckBox* convert_;
    QCheckBox* withCursor_;
};
