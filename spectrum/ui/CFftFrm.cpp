#include "spectrum/ui/CFftFrm.h"

#include "spectrum/ui/CFftScrollView.h"
#include "spectrum/ui/CFftScrollView2.h"

CFftFrm::CFftFrm(ViewServices& services, CFftScrollView* view, QWidget* parent)
    : CSplitFrm(services, view, new CFftScrollView2(services, *view), 4, 1, parent),
      spectrum_(view), frame_(static_cast<CFftScrollView2*>(Lower())) {
    spectrum_->SetPlayFollower(frame_->PlaySink());
}
