#include "app/ui/AppIcon.h"
#include "selection/ui/CTaskDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// At 1000 frames per second a frame is a millisecond: 950 frames read "0.950s".
constexpr float kRate = 1000.0f;

struct Range {
    int32_t start;
    int32_t end;
    int32_t length;
};

bool operator==(const Range& a, const Range& b) {
    return a.start == b.start && a.end == b.end && a.length == b.length;
}

} // namespace

class TaskDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheFieldsAsClockTexts();
    void carriesTheApplicationIcon();
    void leavingStartKeepsTheLengthInsideTheLimits();
    void leavingEndSetsTheLength();
    void leavingLengthSetsTheEnd();
    void clickingAnotherEditLeavesToo();
    void typingAloneChangesNothing();
    void textThatIsNoTimeCountsAsZero();
    void negativeLengthCannotCarryTheStartOutside();
    void enterTakesTheTypedStartUnchanged();
    void enterHoldsTypedValuesInsideTheLimits();
    void clickingOkLeavesTheEditFirst();
    void cancelRestoresTheRange();
    void notesNameWhatWasNotUnderstoodOrHeld_data();
    void notesNameWhatWasNotUnderstoodOrHeld();

private:
    QString Note() const {
        auto* note = dialog_->findChild<QLabel*>(CTaskDlg::kNoteName);
        return note && note->isVisible() ? note->text() : QString();
    }
    // Shows the dialog with limits 0 .. 1000 frames and the given range.
    void Open(Range range);
    QLineEdit* Edit(int id) const;
    // Replaces the edit's text by typing, as a user would.
    void Type(int id, const QString& text);
    void Leave(int id);
    QString Text(int id) const { return Edit(id)->text(); }
    Range Fields() const { return {dialog_->start, dialog_->end, dialog_->length}; }

    std::unique_ptr<CTaskDlg> dialog_;
};

void TaskDlgTest::init() {
    dialog_ = std::make_unique<CTaskDlg>();
}

void TaskDlgTest::cleanup() {
    dialog_.reset();
}

void TaskDlgTest::Open(Range range) {
    dialog_->rate = kRate;
    dialog_->lowerLimit = 0;
    dialog_->upperLimit = 1000;
    dialog_->limitLength = 1000;
    dialog_->start = range.start;
    dialog_->end = range.end;
    dialog_->length = range.length;
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
}

QLineEdit* TaskDlgTest::Edit(int id) const {
    return dialog_->findChild<QLineEdit*>(QString::number(id));
}

void TaskDlgTest::Type(int id, const QString& text) {
    QLineEdit* edit = Edit(id);
    edit->setFocus(Qt::MouseFocusReason);
    QVERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void TaskDlgTest::Leave(int id) {
    QTest::keyClick(Edit(id), Qt::Key_Tab);
    QVERIFY(!Edit(id)->hasFocus());
}

namespace QTest {
template <> char* toString(const Range& r) {
    return qstrdup(QByteArray("start ") + QByteArray::number(r.start) + " end " +
                   QByteArray::number(r.end) + " length " + QByteArray::number(r.length));
}
} // namespace QTest

void TaskDlgTest::opensWithTheFieldsAsClockTexts() {
    QCOMPARE(dialog_->rate, -1.0f);
    QCOMPARE(dialog_->lowerLimit, -1);
    QCOMPARE(dialog_->upperLimit, -1);
    QCOMPARE(dialog_->limitLength, -1);
    QCOMPARE(Fields(), (Range{-1, -1, -1}));

    Open({250, 350, 100});
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Task"));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.250s"));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("0.350s"));
    QCOMPARE(Text(CTaskDlg::kLengthEditId), QStringLiteral("0.100s"));
    QVERIFY(Edit(1058) && Edit(1064) && Edit(1068));
    // Ready to type over the start.
    QVERIFY(Edit(CTaskDlg::kStartEditId)->hasFocus());
    QCOMPARE(Edit(CTaskDlg::kStartEditId)->selectedText(), QStringLiteral("0.250s"));

    QStringList labels;
    for (const QLabel* label : dialog_->findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains("Start:") && labels.contains("End:") && labels.contains("Length:"));
    QStringList buttons;
    for (const QPushButton* button : dialog_->findChildren<QPushButton*>())
        buttons << button->text();
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Cancel", "OK"}));
    QVERIFY(dialog_->isModal());
}

void TaskDlgTest::carriesTheApplicationIcon() {
    const QIcon icon = dialog_->windowIcon();
    QVERIFY(!icon.isNull());
    const QImage small = icon.pixmap(16, 16).toImage();
    QCOMPARE(small.size(), QSize(16, 16));
    QCOMPARE(small, ApplicationIcon().pixmap(16, 16).toImage());
    // Drawn, not blank: an opaque background and a light waveform on it.
    const QImage large = icon.pixmap(64, 64).toImage();
    QCOMPARE(qAlpha(large.pixel(32, 32)), 255);
    int light = 0;
    for (int x = 0; x < 64; ++x)
        light += qGray(large.pixel(x, 23)) > 200 ? 1 : 0;
    QVERIFY(light > 0);
}

void TaskDlgTest::leavingStartKeepsTheLengthInsideTheLimits() {
    Open({0, 100, 100});
    // 950 + 100 runs past 1000: the start moves back to 900.
    Type(CTaskDlg::kStartEditId, "950");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{900, 1000, 100}));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.900s"));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("1.000s"));
    QCOMPARE(Text(CTaskDlg::kLengthEditId), QStringLiteral("0.100s"));

    // Below the lower limit: the lower limit.
    Type(CTaskDlg::kStartEditId, "-50");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{0, 100, 100}));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.000s"));

    // Inside: taken as typed, in any time form.
    Type(CTaskDlg::kStartEditId, "0.5s");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{500, 600, 100}));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("0.600s"));
}

void TaskDlgTest::leavingEndSetsTheLength() {
    Open({500, 600, 100});
    // Beyond the upper limit: the upper limit and the length to it.
    Type(CTaskDlg::kEndEditId, "1500");
    Leave(CTaskDlg::kEndEditId);
    QCOMPARE(Fields(), (Range{500, 1000, 500}));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("1.000s"));
    QCOMPARE(Text(CTaskDlg::kLengthEditId), QStringLiteral("0.500s"));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.500s"));

    // Below the start: accepted, with a negative length.
    Type(CTaskDlg::kEndEditId, "200");
    Leave(CTaskDlg::kEndEditId);
    QCOMPARE(Fields(), (Range{500, 200, -300}));
    QCOMPARE(Text(CTaskDlg::kLengthEditId), QStringLiteral("-0.300s"));

    // Below the lower limit: the upper limit, as for any end outside them.
    Type(CTaskDlg::kEndEditId, "-1");
    Leave(CTaskDlg::kEndEditId);
    QCOMPARE(Fields(), (Range{500, 1000, 500}));
}

void TaskDlgTest::leavingLengthSetsTheEnd() {
    Open({900, 950, 50});
    // 900 + 300 runs past 1000: end at the limit, length up to it.
    Type(CTaskDlg::kLengthEditId, "300");
    Leave(CTaskDlg::kLengthEditId);
    QCOMPARE(Fields(), (Range{900, 1000, 100}));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("1.000s"));
    QCOMPARE(Text(CTaskDlg::kLengthEditId), QStringLiteral("0.100s"));

    Type(CTaskDlg::kLengthEditId, "0.025s");
    Leave(CTaskDlg::kLengthEditId);
    QCOMPARE(Fields(), (Range{900, 925, 25}));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("0.925s"));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.900s"));

    // Back before the lower limit counts as outside too.
    Type(CTaskDlg::kLengthEditId, "-1000");
    Leave(CTaskDlg::kLengthEditId);
    QCOMPARE(Fields(), (Range{900, 1000, 100}));

    // Back, but inside: a negative length.
    Type(CTaskDlg::kLengthEditId, "-400");
    Leave(CTaskDlg::kLengthEditId);
    QCOMPARE(Fields(), (Range{900, 500, -400}));
}

void TaskDlgTest::clickingAnotherEditLeavesToo() {
    Open({0, 100, 100});
    Type(CTaskDlg::kStartEditId, "950");
    QTest::mouseClick(Edit(CTaskDlg::kLengthEditId), Qt::LeftButton);
    QVERIFY(Edit(CTaskDlg::kLengthEditId)->hasFocus());
    QCOMPARE(Fields(), (Range{900, 1000, 100}));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.900s"));
}

void TaskDlgTest::typingAloneChangesNothing() {
    Open({0, 100, 100});
    Type(CTaskDlg::kStartEditId, "950");
    Type(CTaskDlg::kStartEditId, "960");
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("960"));
    QVERIFY(Edit(CTaskDlg::kStartEditId)->hasFocus());
    QCOMPARE(Fields(), (Range{0, 100, 100}));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("0.100s"));

    // Showing the open dialog again does not reset what is typed.
    dialog_->show();
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("960"));

    // A context menu taking the focus is no leaving either.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(Edit(CTaskDlg::kStartEditId), &popup);
    QCOMPARE(Fields(), (Range{0, 100, 100}));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("960"));
}

void TaskDlgTest::textThatIsNoTimeCountsAsZero() {
    Open({300, 400, 100});
    Type(CTaskDlg::kStartEditId, "abc");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{0, 100, 100}));
    Type(CTaskDlg::kEndEditId, "xyz");
    Leave(CTaskDlg::kEndEditId);
    QCOMPARE(Fields(), (Range{0, 0, 0}));
}

void TaskDlgTest::negativeLengthCannotCarryTheStartOutside() {
    Open({500, 200, -300});
    // 5000 - 300 runs past 1000, and 1000 - (-300) would be beyond it too:
    // the start stops at the limit, the end 300 before it.
    Type(CTaskDlg::kStartEditId, "5000");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{1000, 700, -300}));
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("1.000s"));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("0.700s"));

    // And an end pushed below the lower limit stops there.
    Type(CTaskDlg::kStartEditId, "100");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{100, 0, -300}));
}

void TaskDlgTest::enterTakesTheTypedStartUnchanged() {
    Open({0, 100, 100});
    Type(CTaskDlg::kStartEditId, "950");
    QTest::keyClick(Edit(CTaskDlg::kStartEditId), Qt::Key_Return);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(!dialog_->isVisible());
    // Not 900: the leave rule does not run; the end is the End text.
    QCOMPARE(Fields(), (Range{950, 100, -850}));
}

void TaskDlgTest::enterHoldsTypedValuesInsideTheLimits() {
    // The first Enter shows the held value and says so; the second takes it.
    Open({0, 100, 100});
    Type(CTaskDlg::kStartEditId, "5000");
    QTest::keyClick(Edit(CTaskDlg::kStartEditId), Qt::Key_Return);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("1.000s"));
    QCOMPARE(Note(), QStringLiteral("Start: 5000 was held at 1.000s to keep the range within "
                                    "0.000s .. 1.000s."));
    QTest::keyClick(Edit(CTaskDlg::kStartEditId), Qt::Key_Return);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(Fields(), (Range{1000, 100, -900}));

    dialog_ = std::make_unique<CTaskDlg>();
    Open({0, 100, 100});
    Type(CTaskDlg::kEndEditId, "-20");
    QTest::keyClick(Edit(CTaskDlg::kEndEditId), Qt::Key_Enter);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(dialog_->focusWidget(), Edit(CTaskDlg::kEndEditId));
    QTest::keyClick(Edit(CTaskDlg::kEndEditId), Qt::Key_Enter);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(Fields(), (Range{0, 0, 0}));
}

void TaskDlgTest::clickingOkLeavesTheEditFirst() {
    Open({0, 100, 100});
    Type(CTaskDlg::kStartEditId, "950");
    QPushButton* ok = nullptr;
    for (QPushButton* button : dialog_->findChildren<QPushButton*>())
        if (button->text() == "OK")
            ok = button;
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    // Leaving moved the start: the click shows why and the dialog stays.
    QVERIFY(dialog_->isVisible());
    QVERIFY(Note().startsWith("Start: 950 was held at 0.900s"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(Fields(), (Range{900, 1000, 100}));
}

void TaskDlgTest::cancelRestoresTheRange() {
    Open({0, 100, 100});
    Type(CTaskDlg::kStartEditId, "950");
    Leave(CTaskDlg::kStartEditId);
    QCOMPARE(Fields(), (Range{900, 1000, 100}));
    QTest::keyClick(Edit(CTaskDlg::kEndEditId), Qt::Key_Escape);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(Fields(), (Range{0, 100, 100}));

    // Opened again, it starts from the range as set.
    Open({0, 100, 100});
    QCOMPARE(Text(CTaskDlg::kStartEditId), QStringLiteral("0.000s"));
    QCOMPARE(Text(CTaskDlg::kEndEditId), QStringLiteral("0.100s"));
}

void TaskDlgTest::notesNameWhatWasNotUnderstoodOrHeld_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("note");
    const QString noTime = "%1: \"%2\" is not a time (such as 1m30s, 2.5s or 500 frames); it "
                           "was read as %3.";
    QTest::newRow("start no time")
        << CTaskDlg::kStartEditId << "abc" << noTime.arg("Start", "abc", "0.000s");
    QTest::newRow("end no time") << CTaskDlg::kEndEditId << "x1"
                                 << noTime.arg("End", "x1", "0.000s");
    QTest::newRow("length no time")
        << CTaskDlg::kLengthEditId << "q" << noTime.arg("Length", "q", "0.000s");
    QTest::newRow("end beyond") << CTaskDlg::kEndEditId << "9s"
                                << "End: 9s was held at 1.000s to keep the range within "
                                   "0.000s .. 1.000s.";
    QTest::newRow("length beyond") << CTaskDlg::kLengthEditId << "2s"
                                   << "Length: 2s was held at 0.700s to keep the range within "
                                      "0.000s .. 1.000s.";
    QTest::newRow("start within") << CTaskDlg::kStartEditId << "0.2s"
                                  << "";
    QTest::newRow("end within") << CTaskDlg::kEndEditId << "800"
                                << "";
    QTest::newRow("length within") << CTaskDlg::kLengthEditId << "50f"
                                   << "";
}

void TaskDlgTest::notesNameWhatWasNotUnderstoodOrHeld() {
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, note);
    Open({300, 400, 100});
    Type(id, typed);
    Leave(id);
    QCOMPARE(Note(), note);
    // A time within the limits afterwards clears it.
    Type(CTaskDlg::kEndEditId, "0.5s");
    Leave(CTaskDlg::kEndEditId);
    QCOMPARE(Note(), QString());
}

QTEST_MAIN(TaskDlgTest)
#include "TaskDlgTest.moc"
