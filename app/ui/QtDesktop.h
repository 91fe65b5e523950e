// The desktop services of the analysis core, answered with Qt widgets: the
// info text box, message boxes, the raw-format dialog, stoppable progress and
// the wait cursor.
#pragma once

#include "soundfile/DesktopServices.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

class QtDesktop : public DesktopServices {
public:
    // Info texts go to infoBox (none before the project bar exists).
    void SetInfoBox(QPlainTextEdit* infoBox) { infoBox_ = infoBox; }

    void SetInfoText(const std::string& text) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskRawFormat(const std::string& path, RawFormat& values) override;
    // The percentage also goes to a small modal box whose Cancel button stops the task.
    bool ShowStoppableProgress(const std::string& text, int percent) override;
    void EndStoppableProgress() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    QPointer<QPlainTextEdit> infoBox_;
    std::unique_ptr<QProgressDialog> progress_;
};
