// The play options dialog driven as a user drives it.
#include "playback/CSfPlay.h"
#include "playback/VirtualOutput.h"
#include "playback/ui/CPlayOptionsDlg.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/MemoryStore.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <map>

namespace {

template <typename T> T* Control(QWidget& dialog, int id) {
    T* control = dialog.findChild<T*>(QString::number(id));
    if (!control)
        qFatal("control %d missing", id);
    return control;
}

QStringList Entries(QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

QPushButton* Button(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    qFatal("no button %s", qPrintable(text));
    return nullptr;
}

// Runs what comes once the next modal window is up (a dialog's exec or a
// message box), so that the test can answer it.
void WhenModal(std::function<void(QWidget&)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            WhenModal(answer);
            return;
        }
        answer(*modal);
    });
}

} // namespace

class PlayOptionsDlgTest : public QObject {
    Q_OBJECT

private slots:
    void defaultSettingsShowFirstDevice16384FourBlocksAndClearBoxes() {
        VirtualOutput output(2);
        MemoryStore store;
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        CPlayOptionsDlg dialog(player);

        QCOMPARE(dialog.windowTitle(), QStringLiteral("Playoptions"));
        auto* device = Control<QComboBox>(dialog, CPlayOptionsDlg::kDeviceList);
        QCOMPARE(Entries(device), (QStringList{"Virtual default", "Virtual 0", "Virtual 1"}));
        QCOMPARE(device->currentIndex(), 0);
        auto* length = Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockLengthList);
        QCOMPARE(Entries(length), (QStringList{"4096", "8192", "16384", "32768", "65536", "131072",
                                               "262144", "524288", "1048576"}));
        QCOMPARE(length->currentText(), QStringLiteral("16384"));
        auto* number = Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockNumberList);
        QCOMPARE(number->count(), 15);
        QCOMPARE(number->itemText(0), QStringLiteral("2"));
        QCOMPARE(number->itemText(14), QStringLiteral("16"));
        QCOMPARE(number->currentText(), QStringLiteral("4"));
        QCOMPARE(Control<QLineEdit>(dialog, CPlayOptionsDlg::kRefreshEdit)->text(),
                 QStringLiteral("50"));
        auto* ratio = Control<QLineEdit>(dialog, CPlayOptionsDlg::kRatioEdit);
        QCOMPARE(ratio->text(), QStringLiteral("100"));
        QVERIFY(!ratio->isEnabled());
        auto* convert = Control<QCheckBox>(dialog, CPlayOptionsDlg::kConvertCheck);
        auto* cursor = Control<QCheckBox>(dialog, CPlayOptionsDlg::kWithCursorCheck);
        QCOMPARE(convert->text(), QStringLiteral("Convert 8 to 16 Bit"));
        QCOMPARE(cursor->text(), QStringLiteral("Play with Cursor"));
        QVERIFY(!convert->isChecked());
        QVERIFY(!cursor->isChecked());
        QStringList labels;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        labels.sort();
        QCOMPARE(labels, (QStringList{"Blocklength:", "Display Refresh (ms):", "Number of Blocks:",
                                      "Play Ratio %:", "Preferred Devices"}));
        QVERIFY(Button(dialog, "OK")->isDefault());
        // 161 x 162 dialog units: wider than tall by a character's proportions.
        QVERIFY(dialog.width() > 100 && dialog.height() > 100);
    }

    void okTakesEveryChoiceBack() {
        VirtualOutput output(2);
        MemoryStore store;
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        CPlayOptionsDlg dialog(player);
        dialog.show();
        Control<QComboBox>(dialog, CPlayOptionsDlg::kDeviceList)->setCurrentIndex(2);
        Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockLengthList)->setCurrentIndex(8);
        Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockNumberList)->setCurrentIndex(14);
        auto* refresh = Control<QLineEdit>(dialog, CPlayOptionsDlg::kRefreshEdit);
        refresh->clear();
        QTest::keyClicks(refresh, "1x2-5");
        QCOMPARE(refresh->text(), QStringLiteral("125"));
        QTest::mouseClick(Control<QCheckBox>(dialog, CPlayOptionsDlg::kConvertCheck),
                          Qt::LeftButton);
        QTest::mouseClick(Control<QCheckBox>(dialog, CPlayOptionsDlg::kWithCursorCheck),
                          Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const PlaySettings& s = player.Settings();
        QCOMPARE(s.DeviceID, 1);
        QCOMPARE(s.BlockLength, 1048576);
        QCOMPARE(s.BlockNumber, 16);
        QCOMPARE(s.DisplayRefresh, 125);
        QCOMPARE(s.PlayRatio, 100);
        QCOMPARE(s.EightBitSigned, 1);
        QCOMPARE(s.PlayWithCursor, 1);
    }

    void refreshOutOfRangeIsRefusedAndTheDialogStays() {
        VirtualOutput output;
        MemoryStore store;
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        CPlayOptionsDlg dialog(player);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* refresh = Control<QLineEdit>(dialog, CPlayOptionsDlg::kRefreshEdit);
        for (const char* typed : {"0", "1001", ""}) {
            refresh->setText(QString::fromLatin1(typed));
            QString shown;
            WhenModal([&shown](QWidget& box) {
                shown = static_cast<QMessageBox&>(box).text();
                static_cast<QMessageBox&>(box).accept();
            });
            QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
            QCOMPARE(shown,
                     QString::fromLatin1(*typed ? "Please enter an integer between 1 and 1000."
                                                : "Please enter an integer."));
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(refresh));
        }
        refresh->setText("1000");
        QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(player.Settings().DisplayRefresh, 1000);
    }

    void ratioCannotBeEditedAndKeepsItsStoredValue() {
        VirtualOutput output;
        MemoryStore store;
        store.SetInt("Play", "PlayRatio", 150);
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        CPlayOptionsDlg dialog(player);
        dialog.show();
        auto* ratio = Control<QLineEdit>(dialog, CPlayOptionsDlg::kRatioEdit);
        QCOMPARE(ratio->text(), QStringLiteral("150"));
        QTest::keyClicks(ratio, "99");
        QCOMPARE(ratio->text(), QStringLiteral("150"));
        QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
        QCOMPARE(player.Settings().PlayRatio, 150);
    }

    void withoutDevicesTheListSaysSoAndMeansTheDefault() {
        VirtualOutput output(0);
        MemoryStore store;
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        CPlayOptionsDlg dialog(player);
        auto* device = Control<QComboBox>(dialog, CPlayOptionsDlg::kDeviceList);
        QCOMPARE(Entries(device), QStringList{"no device driver installed"});
        QCOMPARE(device->currentIndex(), 0);
        dialog.accept();
        QCOMPARE(player.Settings().DeviceID, -1);
    }

    void aDeviceThatHasGoneShowsNoEntryAndStaysChosen() {
        VirtualOutput output(1);
        MemoryStore store;
        store.SetInt("Play", "DeviceID", 5);
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        CPlayOptionsDlg dialog(player);
        QCOMPARE(Control<QComboBox>(dialog, CPlayOptionsDlg::kDeviceList)->currentIndex(), -1);
        dialog.accept();
        QCOMPARE(player.Settings().DeviceID, 5);
    }

    void okStoresAtOnceAndCancelChangesNothing() {
        VirtualOutput output(1);
        MemoryStore store;
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        const int before = store.Count();

        CPlayOptionsDlg cancelled(player);
        WhenModal([](QWidget& dialog) {
            Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockNumberList)->setCurrentIndex(0);
            QTest::mouseClick(Button(dialog, "Cancel"), Qt::LeftButton);
        });
        QCOMPARE(cancelled.exec(), int(QDialog::Rejected));
        QCOMPARE(player.Settings().BlockNumber, 4);
        QCOMPARE(store.Count(), before);

        CPlayOptionsDlg accepted(player);
        WhenModal([](QWidget& dialog) {
            Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockNumberList)->setCurrentIndex(0);
            Control<QComboBox>(dialog, CPlayOptionsDlg::kBlockLengthList)->setCurrentIndex(0);
            QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
        });
        QCOMPARE(accepted.exec(), int(QDialog::Accepted));
        QCOMPARE(player.Settings().BlockNumber, 2);
        QCOMPARE(player.Settings().BlockLength, 4096);
        QCOMPARE(store.GetInt("Play", "BlockNumber", 0), 2);
        QCOMPARE(store.GetInt("Play", "BlockLength", 0), 4096);
        QCOMPARE(store.GetInt("Play", "DisplayRefresh", 0), 50);
    }
};

QTEST_MAIN(PlayOptionsDlgTest)
#include "PlayOptionsDlgTest.moc"
