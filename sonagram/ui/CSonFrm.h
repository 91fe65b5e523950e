// The child frame of a sonagram window: the image pane over four fifths of
// its height and the level pane below. The image pane is the frame's view:
// closing the window removes its item.
#pragma once

#include "app/ui/CBaseFrm.h"

class CSonScrollView;
class CSonScrollView2;
class QSplitter;
class ViewServices;

class CSonFrm : public CBaseFrm {
    Q_OBJECT
public:
    CSonFrm(ViewServices& services, CSonScrollView* view, QWidget* parent = nullptr);

    CSonScrollView* ImagePane() const { return image_; }
    CSonScrollView2* LevelPane() const { return level_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSplitter* splitter_;
    CSonScrollView* image_;
    CSonScrollView2* level_;
    bool split_ = false;
};
