#include "selection/ui/CTaskDlg.h"

#include "drawing/StrictTimeText.h"
#include "drawing/TimeText.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

// Sums of 32-bit positions are formed in 64 bits and stored back saturated,
// so that no typed number can wrap a position around.
int32_t Saturated(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// v held inside [lo, hi]; lo wins should a caller give crossed limits.
int64_t Held(int64_t v, int64_t lo, int64_t hi) {
    return std::max(lo, std::min(v, hi));
}

QLineEdit* TimeEdit(int id, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    return edit;
}

// The dialog works in signed 32-bit frames.
int32_t DialogFrames(uint32_t frames) {
    return int32_t(std::min<uint32_t>(frames, std::numeric_limits<int32_t>::max()));
}

} // namespace

CTaskDlg::CTaskDlg(QWidget* parent) : CBaseDlg(parent) {
    setWindowTitle(QStringLiteral("Task"));
    setWhatsThis(QStringLiteral("The range as start, end and length: type times such as "
                                "1m30s or 2.5s, or frames."));
    setModal(true);
    startEdit_ = TimeEdit(kStartEditId, this);
    endEdit_ = TimeEdit(kEndEditId, this);
    lengthEdit_ = TimeEdit(kLengthEditId, this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Start:"), startEdit_);
    form->addRow(QStringLiteral("End:"), endEdit_);
    form->addRow(QStringLiteral("Length:"), lengthEdit_);
    for (QLineEdit* edit : {startEdit_, endEdit_, lengthEdit_})
        edit->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTaskDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTaskDlg::reject);

    note_ = new QLabel(this);
    note_->setObjectName(QString::fromLatin1(kNoteName));
    note_->setWordWrap(true);
    note_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note_);
    layout->addWidget(buttons);
}

void CTaskDlg::setVisible(bool visible) {
    // Only the program opens the dialog through here; a window the desktop
    // merely restores keeps what the user typed.
    if (visible && !isVisible()) {
        closing_ = false;
        openedStart_ = start;
        openedEnd_ = end;
        openedLength_ = length;
        Show(startEdit_, start);
        Show(endEdit_, end);
        Show(lengthEdit_, length);
        SetNote(QString());
        heldBeforeOk_ = false;
        startEdit_->setFocus(Qt::TabFocusReason);
    }
    CBaseDlg::setVisible(visible);
}

bool CTaskDlg::eventFilter(QObject* watched, QEvent* event) {
    // Tab, a click elsewhere and switching windows all leave an edit; a
    // context menu opening over it does not.
    if (event->type() == QEvent::FocusOut && !closing_ &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            typed_ = edit->text();
        bool noted = false;
        if (watched == startEdit_) {
            LeaveStart();
            noted = SetNote(Note(startEdit_, start));
        } else if (watched == endEdit_) {
            LeaveEnd();
            noted = SetNote(Note(endEdit_, end));
        } else if (watched == lengthEdit_) {
            LeaveLength();
            noted = SetNote(Note(lengthEdit_, length));
        }
        // A click on OK takes the focus first; the user has not seen the note.
        const auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        heldBeforeOk_ = noted && button && button->isDefault() &&
                        static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
    }
    return CBaseDlg::eventFilter(watched, event);
}

void CTaskDlg::done(int result) {
    if (result == Accepted) {
        if (heldBeforeOk_) {
            heldBeforeOk_ = false;
            return;
        }
        // OK takes the texts as typed: Enter in an edit does not first run the
        // leave rules, so a start typed just before keeps its value. It is
        // still held inside the limits, and so is the end, so that no caller
        // receives a range outside its file or block; a text that is no time
        // or a value held is named, and the dialog stays open to show it.
        for (QLineEdit* edit : {startEdit_, endEdit_}) {
            typed_ = edit->text();
            const int32_t frames = Saturated(Held(Parsed(edit), lowerLimit, upperLimit));
            if (SetNote(Note(edit, frames))) {
                Show(edit, frames);
                edit->setFocus(Qt::OtherFocusReason);
                edit->selectAll();
                return;
            }
        }
    }
    closing_ = true;
    if (result == Accepted) {
        start = Saturated(Held(Parsed(startEdit_), lowerLimit, upperLimit));
        end = Saturated(Held(Parsed(endEdit_), lowerLimit, upperLimit));
        length = Saturated(int64_t{end} - start);
    } else {
        start = openedStart_;
        end = openedEnd_;
        length = openedLength_;
    }
    CBaseDlg::done(result);
}

QString CTaskDlg::Note(const QLineEdit* edit, int32_t frames) const {
    const QString field = edit == startEdit_ ? QStringLiteral("Start")
                          : edit == endEdit_ ? QStringLiteral("End")
                                             : QStringLiteral("Length");
    const QString shown = QString::fromStdString(FormatFrames(frames, rate, 1));
    const std::optional<int64_t> read = ReadTimeText(typed_.toStdString(), rate);
    if (!read)
        return QStringLiteral("%1: \"%2\" is not a time (such as 1m30s, 2.5s or 500 frames); "
                              "it was read as %3.")
            .arg(field, typed_.trimmed(), shown);
    if (*read == frames)
        return QString();
    const QString first = QString::fromStdString(FormatFrames(lowerLimit, rate, 1));
    const QString last = QString::fromStdString(FormatFrames(upperLimit, rate, 1));
    return QStringLiteral("%1: %2 was held at %3 to keep the range within %4 .. %5.")
        .arg(field, typed_.trimmed(), shown, first, last);
}

bool CTaskDlg::SetNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    return !note.isEmpty();
}

void CTaskDlg::LeaveStart() {
    int64_t s = Parsed(startEdit_);
    if (s < lowerLimit)
        s = lowerLimit;
    else if (s + length > upperLimit)
        s = int64_t{upperLimit} - length;
    // A negative length, or one longer than the limits, would carry the start
    // outside them.
    s = Held(s, lowerLimit, upperLimit);
    const int64_t e = Held(s + length, lowerLimit, upperLimit);
    start = Saturated(s);
    end = Saturated(e);
    Show(startEdit_, start);
    Show(endEdit_, end);
}

void CTaskDlg::LeaveEnd() {
    int64_t e = Parsed(endEdit_);
    if (e < lowerLimit || e > upperLimit)
        e = upperLimit;
    end = Saturated(e);
    length = Saturated(e - start);
    Show(endEdit_, end);
    Show(lengthEdit_, length);
}

void CTaskDlg::LeaveLength() {
    const int64_t l = Parsed(lengthEdit_);
    const int64_t e = start + l;
    if (e >= lowerLimit && e <= upperLimit) {
        end = Saturated(e);
        length = Saturated(l);
    } else {
        end = upperLimit;
        length = Saturated(int64_t{upperLimit} - start);
    }
    Show(endEdit_, end);
    Show(lengthEdit_, length);
}

int32_t CTaskDlg::Parsed(const QLineEdit* edit) const {
    return ParseTimeText(edit->text().toStdString(), rate);
}

void CTaskDlg::Show(QLineEdit* edit, int32_t frames) {
    edit->setText(QString::fromStdString(FormatFrames(frames, rate, 1)));
}

void CTaskDlg::SetFrames(float frameRate, uint32_t first, uint32_t last, uint32_t limitFrames,
                         uint32_t startFrame, uint32_t endFrame) {
    rate = frameRate;
    lowerLimit = DialogFrames(first);
    upperLimit = DialogFrames(last);
    limitLength = DialogFrames(limitFrames);
    start = DialogFrames(startFrame);
    end = DialogFrames(endFrame);
    length = end - start;
}

std::pair<uint32_t, uint32_t> CTaskDlg::TypedFrames(uint32_t first, uint32_t limitFrames) const {
    const int64_t low = first;
    const int64_t high = low + limitFrames;
    return {uint32_t(std::clamp<int64_t>(std::min(start, end), low, high)),
            uint32_t(std::clamp<int64_t>(std::max(start, end), low, high))};
}

std::optional<std::pair<uint32_t, uint32_t>>
CTaskDlg::AskFrames(QWidget* parent, float frameRate, uint32_t first, uint32_t last,
                    uint32_t limitFrames, uint32_t startFrame, uint32_t endFrame) {
    CTaskDlg dialog(parent);
    dialog.SetFrames(frameRate, first, last, limitFrames, startFrame, endFrame);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.TypedFrames(first, limitFrames);
}
