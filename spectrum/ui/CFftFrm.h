// The child frame of a spectrum window: the spectrum pane over four fifths of
// its height and the frame pane below. The spectrum pane is the frame's view:
// closing the window removes its item.
#pragma once

#include "app/ui/CBaseFrm.h"

class CFftScrollView;
class CFftScrollView2;
class QSplitter;
class ViewServices;

class CFftFrm : public CBaseFrm {
    Q_OBJECT
public:
    CFftFrm(ViewServices& services, CFftScrollView* view, QWidget* parent = nullptr);

    CFftScrollView* SpectrumPane() const { return spectrum_; }
    CFftScrollView2* FramePane() const { return frame_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSplitter* splitter_;
    CFftScrollView* spectrum_;
    CFftScrollView2* frame_;
    bool split_ = false;
};
