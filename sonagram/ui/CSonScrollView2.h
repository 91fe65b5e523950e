// The level pane of a sonagram window, below the image: the level in dB of
// each analysis frame (image column) over a level scale, with a cursor the
// user sets with the mouse and the keys, jumping from peak to peak with Ctrl.
#pragma once

#include "app/ui/CBaseScrollView.h"
#include "drawing/ScaleMath.h"

#include <QImage>
#include <QRegion>

class CSfSon;
class CSonScrollView;
class ViewServices;

class CSonScrollView2 : public CBaseScrollView {
    Q_OBJECT
public:
    // The pane shows the item of image, the pane above it, which computes the
    // levels this one draws.
    CSonScrollView2(ViewServices& services, CSonScrollView& image, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    CSfBase* GetItem() const override;
    bool ExportsData() const override { return true; }
    // The plot area, for the tests that line it up with the image above.
    PlotRect LevelRect() const { return Plot(); }
    DataTable ExportTable() const override;

protected:
    bool TakesKey(const QKeyEvent* key) const override;
    bool HandleKey(QKeyEvent* event) override;
    void StyleChanged() override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CSfSon* Item() const;
    // The image pane has computed the levels.
    bool Drawable() const;
    int Count() const;
    // The curve area: 28 pixels on the left for the level labels, 4 on the
    // other sides; there is no time scale.
    PlotRect Plot() const;
    bool InPlot(const QPoint& at) const;
    const QImage& PlotImage();
    QRegion CursorRegion() const;
    // Moves the cursor line to x and repaints the two strips.
    void MoveCursorLine(int x);
    void ShowInfoText();

    CSonScrollView& image_;
    QImage plot_;
    // The levels the cached picture shows: the pane may paint before the
    // image pane has computed them.
    const float* plotValues_ = nullptr;
    int plotRight_ = 0; // the image's colour bar narrows the plot
};
