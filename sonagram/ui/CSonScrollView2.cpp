#include "sonagram/ui/CSonScrollView2.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "drawing/FloatArrays.h"
#include "drawing/ui/FrequencyScaleDrawing.h"
#include "drawing/ui/PlotCanvas.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "sonagram/CSfSon.h"
#include "sonagram/SonagramDisplay.h"
#include "sonagram/SonagramTable.h"
#include "sonagram/SonagramTexts.h"
#include "sonagram/ui/CSonScrollView.h"
#include "soundfile/DesktopServices.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace {

constexpr int kLeft = 28;
constexpr int kMargin = 4;

bool IsPaneKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    case Qt::Key_W:
        return IsPlainLetter(event);
    default:
        return false;
    }
}

} // namespace

CSonScrollView2::CSonScrollView2(ViewServices& services, CSonScrollView& image, QWidget* parent)
    : CBaseScrollView(services, nullptr, parent), image_(image) {
    // The info text follows the pointer over the plot.
    setMouseTracking(true);
    setWhatsThis("The level of every analysis frame of the sonagram above, in dB. Click or "
                 "Left and Right for a frame, Ctrl+Left and Ctrl+Right for the next level peak; "
                 "W writes the frame's level to the data log.");
}

CSfBase* CSonScrollView2::GetItem() const {
    return image_.GetItem();
}

CSfSon* CSonScrollView2::Item() const {
    return image_.Item();
}

bool CSonScrollView2::Drawable() const {
    return image_.Drawable() && Count() > 0;
}

int CSonScrollView2::Count() const {
    CSfSon* item = Item();
    return item ? int(item->Levels().values.size()) : 0;
}

QSize CSonScrollView2::sizeHint() const {
    const QSize above = image_.sizeHint();
    return QSize(above.width(), above.height() / 4);
}

PlotRect CSonScrollView2::Plot() const {
    return PlotRect{kLeft, kMargin, width() - kMargin - image_.ColourBarRoom(), height() - kMargin};
}

bool CSonScrollView2::InPlot(const QPoint& at) const {
    const PlotRect r = Plot();
    return at.x() >= r.left && at.x() < r.right && at.y() >= r.top && at.y() < r.bottom;
}

void CSonScrollView2::showEvent(QShowEvent* event) {
    CBaseScrollView::showEvent(event);
    CSfSon* item = Item();
    if (!item || item->Levels().cursorShown)
        return;
    SonLevels& levels = item->Levels();
    levels.cursorX = kLeft;
    levels.cursorColumn = 0;
    levels.cursorShown = 1;
}

const QImage& CSonScrollView2::PlotImage() {
    const std::vector<float>& values = Item()->Levels().values;
    const PlotRect r = Plot();
    if (CanvasFits(plot_, *this) && plotValues_ == values.data() && plotRight_ == r.right)
        return plot_;
    plotValues_ = values.data();
    plotRight_ = r.right;
    QPainter painter;
    if (!BeginPlotImage(plot_, painter, *this, r))
        return plot_;
    // The curve's extremes would lie on the plot's outline, and a curve of
    // nearly even level (a tone, a sweep) would vanish into it; a twentieth
    // of the span above and below keeps them in sight.
    const SonLevels& levels = Item()->Levels();
    const float room = (levels.maximum - levels.minimum) / 20;
    const float lowest = levels.minimum - room;
    const float highest = levels.maximum + room;
    DrawYScale(YScale{painter, r, lowest, highest, "%g", true});
    const int n = Count();
    std::vector<PlotPoint> points(static_cast<size_t>(n));
    CurveToPoints(points.data(), values.data(), n, r, lowest, highest);
    DrawCurve(painter, points, CurveColour(palette()), r);
    // The stated scale leaves its unit out; it stands in the plot's corner.
    painter.setFont(ScaleFont(*painter.device()));
    DrawCornerUnit(painter, r, Item()->Param().LevelRef == kLevelRefFullScale ? "dBFS" : "dB");
    return plot_;
}

QRegion CSonScrollView2::CursorRegion() const {
    return SonCursorLineRegion(Plot(), Item()->Levels().cursorX);
}

void CSonScrollView2::MoveCursorLine(int x) {
    const QRegion before = CursorRegion();
    Item()->Levels().cursorX = x;
    update(before.xored(CursorRegion()));
}

void CSonScrollView2::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (!Drawable()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    const QRect dirty = event->rect();
    DrawCanvas(p, PlotImage(), dirty);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& mark : CursorRegion())
        p.fillRect(mark, Qt::black);
}

void CSonScrollView2::resizeEvent(QResizeEvent* event) {
    CBaseScrollView::resizeEvent(event);
    // The column is what lasts; the line follows the new width.
    if (!Drawable())
        return;
    SonLevels& levels = Item()->Levels();
    const PlotRect r = Plot();
    levels.cursorX = LevelPixelOfColumn(r.left, r.right - r.left, Count(), levels.cursorColumn);
}

void CSonScrollView2::StyleChanged() {
    plot_ = QImage();
}

void CSonScrollView2::ShowInfoText() {
    CSfSon* item = Item();
    Services().Desktop().SetInfoText(
        RmsInfoText(item->GetHead()->Info(), *item, item->Levels().cursorColumn));
}

void CSonScrollView2::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !Drawable() || !InPlot(at))
        return CBaseScrollView::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const PlotRect r = Plot();
    Item()->Levels().cursorColumn = LevelColumnOfPixel(r.left, r.right - r.left, Count(), at.x());
    MoveCursorLine(at.x());
    ShowInfoText();
}

void CSonScrollView2::mouseMoveEvent(QMouseEvent* event) {
    if (!Drawable() || !InPlot(event->position().toPoint()))
        return CBaseScrollView::mouseMoveEvent(event);
    ShowInfoText();
}

bool CSonScrollView2::TakesKey(const QKeyEvent* key) const {
    return Drawable() && IsPaneKey(key);
}

bool CSonScrollView2::HandleKey(QKeyEvent* event) {
    if (!Drawable() || !IsPaneKey(event))
        return false;
    CSfSon* item = Item();
    SonLevels& levels = item->Levels();
    if (event->key() == Qt::Key_W) {
        Services().WriteDataLog(RmsLogLine(item->GetHead()->Info(), *item, levels.cursorColumn));
        return true;
    }
    const int count = Count();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int column = std::clamp(levels.cursorColumn, 0, count - 1);
    switch (event->key()) {
    case Qt::Key_Left:
        column =
            ctrl ? FindPeakIndex(levels.values.data(), count, column, -1) : std::max(column - 1, 0);
        break;
    case Qt::Key_Right:
        column = ctrl ? FindPeakIndex(levels.values.data(), count, column, 1)
                      : std::min(column + 1, count - 1);
        break;
    case Qt::Key_Home:
        column = 0;
        break;
    default:
        column = count - 1;
        break;
    }
    levels.cursorColumn = column;
    const PlotRect r = Plot();
    MoveCursorLine(LevelPixelOfColumn(r.left, r.right - r.left, count, column));
    ShowInfoText();
    return true;
}

DataTable CSonScrollView2::ExportTable() const {
    CSfSon* item = Item();
    if (!item || !item->GetHead() || !Drawable())
        return {};
    return SonagramLevelTable(item->GetHead()->Info(), *item);
}
