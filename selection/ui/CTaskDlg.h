// The task dialog: a time range typed in as start, end and length. Leaving an
// edit makes the other two agree with it and holds the range inside the
// limits; OK takes the start and end texts as they stand. A text that is no
// time, or a value held inside the limits, is named in a note under the
// edits, and OK then keeps the dialog open once so that the user sees it.
#pragma once

#include "app/ui/CBaseDlg.h"

#include <cstdint>
#include <optional>
#include <utility>

class QLabel;
class QLineEdit;

class CTaskDlg : public CBaseDlg {
    Q_OBJECT
public:
    // Object names of the three edits.
    static constexpr int kStartEditId = 1058;
    static constexpr int kEndEditId = 1064;
    static constexpr int kLengthEditId = 1068;
    // Object name of the note under the edits.
    static constexpr const char* kNoteName = "Note";

    explicit CTaskDlg(QWidget* parent = nullptr);

    // Set by the caller before the dialog runs; after OK, start, end and
    // length hold the range. Cancel leaves them as they were set. All
    // positions are frames at rate frames per second.
    float rate = -1.0f;
    int32_t lowerLimit = -1;
    int32_t upperLimit = -1;
    // The length of the limits, kept for the callers; the dialog does not use it.
    int32_t limitLength = -1;
    int32_t start = -1;
    int32_t end = -1;
    int32_t length = -1;

    // Sets the rate, the limits first .. end (length frames) and the range
    // start .. end to open with, in the dialog's signed 32-bit frames.
    void SetFrames(float frameRate, uint32_t first, uint32_t last, uint32_t limitFrames,
                   uint32_t startFrame, uint32_t endFrame);
    // After OK: the frames between the typed start and end, held inside
    // first .. first + limitFrames. An end typed below the start still means
    // the frames between them.
    std::pair<uint32_t, uint32_t> TypedFrames(uint32_t first, uint32_t limitFrames) const;

    // Runs the dialog over the limits first .. last (limitFrames long),
    // opening with start .. end: the frames typed, or none on Cancel.
    static std::optional<std::pair<uint32_t, uint32_t>>
    AskFrames(QWidget* parent, float frameRate, uint32_t first, uint32_t last, uint32_t limitFrames,
              uint32_t startFrame, uint32_t endFrame);

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LeaveStart();
    void LeaveEnd();
    void LeaveLength();
    int32_t Parsed(const QLineEdit* edit) const;
    void Show(QLineEdit* edit, int32_t frames);
    // The note for edit after a leave or OK turned its text into frames:
    // empty when the text was a time that stayed as typed.
    QString Note(const QLineEdit* edit, int32_t frames) const;
    // Shows note (or clears it); true when there is one.
    bool SetNote(const QString& note);

    QLineEdit* startEdit_;
    QLineEdit* endEdit_;
    QLineEdit* lengthEdit_;
    QLabel* note_;
    // The text each edit had when the user last left it, for its note.
    QString typed_;
    // A leave that changed what was typed moved the focus to OK: that OK
    // shows the note and is not taken.
    bool heldBeforeOk_ = false;
    // The range as the dialog opened, restored on Cancel.
    int32_t openedStart_ = -1;
    int32_t openedEnd_ = -1;
    int32_t openedLength_ = -1;
    // Set while the dialog closes: its edits lose the focus then, and that is
    // no leaving by the user.
    bool closing_ = false;
};
