// The child frame of a spectrum window: the spectrum pane over four fifths of
// its height and the frame pane below. The spectrum pane is the frame's view:
// closing the window removes its item.
#pragma once

#include "app/ui/CSplitFrm.h"

class CFftScrollView;
class CFftScrollView2;
class ViewServices;

class CFftFrm : public CSplitFrm {
    Q_OBJECT
public:
    CFftFrm(ViewServices& services, CFftScrollView* view, QWidget* parent = nullptr);

    CFftScrollView* SpectrumPane() const { return spectrum_; }
    CFftScrollView2* FramePane() const { return frame_; }

private:
    CFftScrollView* spectrum_;
    CFftScrollView2* frame_;
};
