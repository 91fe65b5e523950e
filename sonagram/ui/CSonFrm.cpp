#include "sonagram/ui/CSonFrm.h"

#include "sonagram/ui/CSonScrollView.h"
#include "sonagram/ui/CSonScrollView2.h"

CSonFrm::CSonFrm(ViewServices& services, CSonScrollView* view, QWidget* parent)
    : CSplitFrm(services, view, new CSonScrollView2(services, *view), 4, 1, parent), image_(view),
      level_(static_cast<CSonScrollView2*>(Lower())) {}
