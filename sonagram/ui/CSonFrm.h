// The child frame of a sonagram window: the image pane over four fifths of
// its height and the level pane below. The image pane is the frame's view:
// closing the window removes its item.
#pragma once

#include "app/ui/CSplitFrm.h"

class CSonScrollView;
class CSonScrollView2;
class ViewServices;

class CSonFrm : public CSplitFrm {
    Q_OBJECT
public:
    CSonFrm(ViewServices& services, CSonScrollView* view, QWidget* parent = nullptr);

    CSonScrollView* ImagePane() const { return image_; }
    CSonScrollView2* LevelPane() const { return level_; }

private:
    CSonScrollView* image_;
    CSonScrollView2* level_;
};
