// The child frame of a window of two panes, one above the other. The upper
// pane is the frame's view: closing the window removes its item.
#pragma once

#include "app/ui/CBaseFrm.h"

class QSplitter;

class CSplitFrm : public CBaseFrm {
    Q_OBJECT
public:
    // The panes share the height upperStretch : lowerStretch, when the window
    // first gets a size and as it grows or shrinks.
    CSplitFrm(ViewServices& services, CBaseScrollView* upper, QWidget* lower, int upperStretch,
              int lowerStretch, QWidget* parent = nullptr);

    QWidget* Lower() const { return lower_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // F6 and Shift+F6 that no pane took move the focus to the next and the
    // previous pane; with two panes both go to the other one.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSplitter* splitter_;
    QWidget* lower_;
    int upperStretch_;
    int lowerStretch_;
    bool split_ = false;
};
