#include "spectrum/ui/CFftScrollView.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "app/ui/WindowImage.h"
#include "drawing/TimeText.h"
#include "drawing/ui/AxisDrawing.h"
#include "drawing/ui/FrequencyScaleDrawing.h"
#include "drawing/ui/PlotCanvas.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "playback/CSfPlay.h"
#include "resources/CommandIds.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/FftScale.h"
#include "spectrum/CSfFft.h"
#include "spectrum/FramePane.h"
#include "spectrum/SpectrumTable.h"
#include "spectrum/SpectrumTexts.h"
#include "spectrum/TaskSpectrum.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <optional>
#include <vector>

namespace {

constexpr int kLeft = 28;
constexpr int kTop = 4;
constexpr int kRight = 4;
constexpr int kBottom = 15;

// The smoothed envelope over the spectrum in red.
const QColor kSmoothedColour(255, 0, 0);

bool Ctrl(const QKeyEvent* event) {
    return event->modifiers() & Qt::ControlModifier;
}

// The cursor key a key press stands for, if any.
std::optional<SpectrumKey> CursorKey(const QKeyEvent* event) {
    const bool ctrl = Ctrl(event);
    switch (event->key()) {
    case Qt::Key_Left:
        return ctrl ? SpectrumKey::PeakLeft : SpectrumKey::Left;
    case Qt::Key_Right:
        return ctrl ? SpectrumKey::PeakRight : SpectrumKey::Right;
    case Qt::Key_Home:
        return SpectrumKey::Home;
    case Qt::Key_End:
        return SpectrumKey::End;
    case Qt::Key_Up:
        return SpectrumKey::Up;
    case Qt::Key_Down:
        return SpectrumKey::Down;
    case Qt::Key_G:
        if (IsPlainLetter(event))
            return SpectrumKey::Harmonics;
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool IsPaneKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F4:
    case Qt::Key_F7:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_W:
        return IsPlainLetter(event);
    default:
        return CursorKey(event).has_value();
    }
}

} // namespace

CFftScrollView::CFftScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                               QWidget* parent)
    : CBaseScrollView(services, std::move(document), parent) {
    setWhatsThis("The spectrum. Click or Left and Right for a bin: its frequency, level and "
                 "note show in the info box. Ctrl+Left and Ctrl+Right find peaks, G shows the "
                 "harmonics, W writes the measurement to the data log, F4 plays. Drag with Ctrl "
                 "for a box that Insert Fft zooms into.");
    // A plain move over the plot refreshes the info text.
    setMouseTracking(true);
}

void CFftScrollView::PublishTask() {
    CSfFft* item = Item();
    if (!item || !item->GetHead())
        return;
    SfTask& headTask = item->GetHead()->Info().task;
    headTask.start = item->Task().start;
    headTask.end = item->Task().end;
    headTask.channel = item->Task().channel;
    Services().RefreshHeadWindow();
}

CSfFft* CFftScrollView::Item() const {
    return dynamic_cast<CSfFft*>(GetItem());
}

bool CFftScrollView::Drawable() const {
    CSfFft* item = Item();
    if (!computed_ || !item || !item->GetHead() || item->GetHead()->Info().rate <= 0)
        return false;
    const SfFftParam& p = item->Param();
    return p.results.spectrum && !p.results.spectrum->empty() && p.results.samples &&
           !p.results.samples->empty();
}

QSize CFftScrollView::sizeHint() const {
    // Four fifths of the window; the frame pane takes the rest.
    const QSize window = WindowSizeHint();
    return QSize(window.width(), window.height() * 4 / 5);
}

void CFftScrollView::SetPlayFollower(std::weak_ptr<PlayNotifySink> follower) {
    playFollower_ = std::move(follower);
}

void CFftScrollView::showEvent(QShowEvent* event) {
    CBaseScrollView::showEvent(event);
    if (!initialised_)
        InitialUpdate();
}

void CFftScrollView::InitialUpdate() {
    initialised_ = true;
    CSfFft* item = Item();
    if (!item || !item->GetHead())
        return;
    referenceHz_ = Services().Settings().Btf();
    notation_ = Services().Settings().Btn();
    {
        WaitCursor wait(Services().Desktop());
        // On failure the user has been told why, and the window stays empty.
        computed_ = ComputeTaskSpectrum(*item, Services().Desktop(), Services().ScreenWidth()) ==
                    SpectrumOutcome::Computed;
    }
    if (!computed_)
        return;
    SfFftParam& p = item->Param();
    const double rate = item->GetHead()->Info().rate;
    p.view.cursorX = kLeft;
    p.view.markerY = height() / 2;
    p.view.cursorBin = (item->XScale() & kScaleAuto) ? 0 : int(p.Lfft * p.Fmin / rate);
    p.start = item->Task().start;
    p.end = item->Task().end;
    p.view.viewFlags = 0;
    peakMode_ = false;
    harmonics_ = false;
    boxAnchor_ = boxCorner_ = PlotPoint{kLeft, kTop};
    plot_ = QImage();
}

PlotRect CFftScrollView::Plot() const {
    return PlotRect{kLeft, kTop, width() - kRight, height() - kBottom};
}

const QImage& CFftScrollView::PlotImage() {
    if (CanvasFits(plot_, *this))
        return plot_;
    QPainter painter;
    const PlotRect r = Plot();
    if (!BeginPlotImage(plot_, painter, *this, r))
        return plot_;

    CSfFft* item = Item();
    SfFftParam& p = item->Param();
    geometry_ = LayOutSpectrum(p, item->XScale(), item->YScale(), item->GetHead()->Info().rate, r);
    if (geometry_.xAxis == FreqAxisKind::Linear) {
        DrawXScale(XScale{painter, r, p.Fmin, p.Fmax, "Hz", true, false});
    } else {
        painter.setFont(ScaleFont(*painter.device()));
        DrawFrequencyTicksBelow(painter, r, SpectrumAxis(geometry_), true);
    }
    DrawYScale(YScale{painter, r, geometry_.levels.lo, geometry_.levels.hi, "%g", true});

    DrawCurve(painter, SpectrumCurve(*p.results.spectrum, geometry_), CurveColour(palette()), r);
    if (p.results.smoothed && !p.results.smoothed->empty())
        DrawCurve(painter, SpectrumCurve(*p.results.smoothed, geometry_), kSmoothedColour, r);
    // The stated level scale leaves its unit out; it stands in the plot's corner.
    if (item->YScale() & kScaleLog) {
        painter.setFont(ScaleFont(*painter.device()));
        DrawCornerUnit(painter, r, p.LevelRef == kLevelRefFullScale ? "dBFS" : "dB");
    }
    p.view.cursorX = SpectrumCursorX(geometry_, p.view.cursorBin);
    // The levels may have been settled afresh: the text follows them, once
    // this paint is over, since the info box repaints at once.
    QMetaObject::invokeMethod(this, &CFftScrollView::ShowInfoText, Qt::QueuedConnection);
    return plot_;
}

std::optional<PlotRect> CFftScrollView::PrintedPlot(int width, int height, int dpi) const {
    if (!Drawable())
        return std::nullopt;
    PlotRect plot{dpi, int(1.5 * dpi), width - dpi, height - dpi};
    if (width < height)
        plot.bottom = 3 * (plot.right - plot.left) / 4;
    return plot;
}

void CFftScrollView::PrintPage(QPainter& painter, const PlotRect& plot, int dpi) {
    CSfFft* item = Item();
    SfFftParam& p = item->Param();
    const SfInfo& info = item->GetHead()->Info();
    // The same bins and levels as on the screen: the screen's drawing has
    // settled them already, so laying them out again changes nothing.
    const SpectrumGeometry g = LayOutSpectrum(p, item->XScale(), item->YScale(), info.rate, plot);
    const QString path = QString::fromStdString(info.path);
    const QString start = QString::fromStdString(FormatFrames(int32_t(p.start), info.rate, 1));
    const QString when =
        IsInstant(p)
            ? start
            : start + "_" + QString::fromStdString(FormatFrames(int32_t(p.end), info.rate, 1));
    const QString title = QString("FFT: %1 Ch%2 %3 lfft=%4")
                              .arg(path)
                              .arg(item->Task().channel)
                              .arg(when)
                              .arg(p.Lfft);
    painter.setPen(Qt::black);
    if (g.xAxis == FreqAxisKind::Linear) {
        DrawFramedXAxis(painter, plot, p.Fmin, p.Fmax, "Hz", title, true, false);
    } else {
        // The frame and title as on a linear axis, the ticks of the axis below.
        painter.drawRect(ToQRect(plot).adjusted(0, 0, -1, -1));
        painter.setFont(QFont("Arial", 11));
        painter.drawText(plot.left, plot.top - QFontMetrics(painter.font()).height() / 2, title);
        painter.setFont(QFont("Arial", 10));
        DrawFrequencyTicksBelow(painter, plot, SpectrumAxis(g), true);
    }
    // Linear magnitudes are no decibels; either names its full-scale reference.
    const bool fullScale = p.LevelRef == kLevelRefFullScale;
    const bool decibels = (item->YScale() & kScaleLog) != 0;
    DrawYAxis(painter, plot, g.levels.lo, g.levels.hi, true,
              decibels ? (fullScale ? "Magnitude in dBFS" : "Magnitude in dB")
                       : (fullScale ? "Magnitude re full scale" : "Magnitude"));
    const int penWidth = dpi / 300 + 1;
    DrawCurve(painter, SpectrumCurve(*p.results.spectrum, g), QPen(Qt::black, penWidth), plot);
    // On paper a one-pixel line would vanish: the smoothed curve gets the
    // width of the spectrum's.
    if (p.results.smoothed && !p.results.smoothed->empty())
        DrawCurve(painter, SpectrumCurve(*p.results.smoothed, g), QPen(kSmoothedColour, penWidth),
                  plot);
}

double CFftScrollView::CursorFrequency() const {
    CSfFft* item = Item();
    return SpectrumCursorFrequency(item->Param(), item->GetHead()->Info().rate, peakMode_);
}

QRegion CFftScrollView::MarkRegion() const {
    if (!Drawable() || plot_.isNull())
        return {};
    const SfFftParam& p = Item()->Param();
    const PlotRect& r = geometry_.plot;
    if (p.view.cursorX <= r.left)
        return {};
    QRegion marks;
    if (!harmonics_) {
        marks = QRect(p.view.cursorX, r.top, 1, r.bottom - r.top);
    } else {
        const std::vector<int> xs = HarmonicMarkXs(p, geometry_, CursorFrequency());
        const int y = p.view.markerY;
        for (int x : xs)
            marks += QRect(x, y - 10, 1, 21);
        // The line joins the first harmonic to the last, so that the eye finds
        // which ticks belong together.
        if (xs.size() > 1)
            marks += QRect(xs.front(), y, xs.back() - xs.front() + 1, 1);
    }
    return marks & ToQRect(r);
}

QRect CFftScrollView::BoxRect() const {
    if (!Drawable() || plot_.isNull())
        return {};
    PlotRect box;
    if (dragging_) {
        box = PlotRect{std::min(boxAnchor_.x, boxCorner_.x), std::min(boxAnchor_.y, boxCorner_.y),
                       std::max(boxAnchor_.x, boxCorner_.x), std::max(boxAnchor_.y, boxCorner_.y)};
    } else if (Item()->Param().view.viewFlags & kFftBoxDefined) {
        box = SpectrumBoxPixels(Item()->Param(), geometry_);
    } else {
        return {};
    }
    return ToQRect(box) & ToQRect(geometry_.plot);
}

void CFftScrollView::ShowInfoText() {
    if (!Drawable())
        return;
    CSfFft* item = Item();
    Services().Desktop().SetInfoText(SpectrumInfoText(item->GetHead()->Info(), item->Param(),
                                                      item->YScale(), peakMode_, referenceHz_,
                                                      notation_));
}

void CFftScrollView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (!Drawable()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    const QRect dirty = event->rect();
    DrawCanvas(p, PlotImage(), dirty);
    // Cursor, marks and box invert what lies under them, as in every window
    // of the program.
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& mark : MarkRegion())
        p.fillRect(mark, Qt::black);
    p.fillRect(BoxRect(), Qt::black);
}

void CFftScrollView::StyleChanged() {
    plot_ = QImage();
}

void CFftScrollView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || !Drawable())
        return CBaseScrollView::mousePressEvent(event);
    PlotImage();
    const QRegion before = MarkRegion() + BoxRect();
    SfFftParam& p = Item()->Param();
    const QPoint at = event->position().toPoint();
    if (!(event->modifiers() & Qt::ControlModifier)) {
        if (const auto place = PlaceSpectrumCursor(geometry_, at.x(), at.y())) {
            p.view.cursorBin = place->bin;
            p.view.cursorX = place->x;
            peakMode_ = false;
        }
    }
    // A new press ends the box of the last one; this press may start another.
    p.view.viewFlags &= ~kFftBoxDefined;
    boxAnchor_ = boxCorner_ = BoxAnchor(geometry_, at.x(), at.y());
    dragging_ = true;
    update(before + MarkRegion());
    ShowInfoText();
}

void CFftScrollView::mouseMoveEvent(QMouseEvent* event) {
    if (!Drawable())
        return CBaseScrollView::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const PlotRect& r = geometry_.plot;
    const bool inside =
        at.x() >= r.left && at.x() < r.right && at.y() >= r.top && at.y() < r.bottom;
    if (!dragging_) {
        // Without a drag only the info text follows, as after a drawing.
        if (inside)
            ShowInfoText();
        return CBaseScrollView::mouseMoveEvent(event);
    }
    if (inside && (event->buttons() & Qt::LeftButton) &&
        (event->modifiers() & Qt::ControlModifier)) {
        const QRect before = BoxRect();
        boxCorner_ = PlotPoint{at.x(), at.y()};
        update(QRegion(before) + BoxRect());
    }
    ShowInfoText();
}

void CFftScrollView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_ || !Drawable())
        return CBaseScrollView::mouseReleaseEvent(event);
    const QRect before = BoxRect();
    dragging_ = false;
    // Also a box of no size: a spectrum inserted from it is refused, as the
    // user asked for nothing.
    StoreSpectrumBox(Item()->Param(), geometry_, boxAnchor_, boxCorner_);
    update(QRegion(before) + BoxRect());
}

bool CFftScrollView::TakesKey(const QKeyEvent* key) const {
    return Item() && IsPaneKey(key);
}

bool CFftScrollView::HandleKey(QKeyEvent* event) {
    CSfFft* item = Item();
    if (!item || !item->GetHead() || !IsPaneKey(event))
        return false;
    const int key = event->key();
    if (key == Qt::Key_F4) {
        Play();
        return true;
    }
    if (key == Qt::Key_Escape || key == Qt::Key_F7) {
        Services().Player().StopPlay();
        return true;
    }
    if (!Drawable())
        return false;
    PlotImage();
    SfFftParam& p = item->Param();
    if (key == Qt::Key_W) {
        Services().WriteDataLog(SpectrumLogLine(item->GetHead()->Info(), p, peakMode_));
        return true;
    }
    const QRegion before = MarkRegion();
    const SpectrumCursor to =
        StepSpectrumCursor(SpectrumCursor{p.view.cursorBin, p.view.markerY, peakMode_, harmonics_},
                           *CursorKey(event), *p.results.spectrum, geometry_);
    p.view.cursorBin = to.bin;
    p.view.markerY = to.markerY;
    peakMode_ = to.peakMode;
    harmonics_ = to.harmonics;
    p.view.cursorX = SpectrumCursorX(geometry_, p.view.cursorBin);
    update(before + MarkRegion());
    ShowInfoText();
    return true;
}

void CFftScrollView::Play() {
    CSfFft* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const SfFftParam& p = item->Param();
    if (IsInstant(p)) {
        // One frame is too short for a cursor to follow.
        Services().Player().PlayRange(info, p.start, p.start + uint32_t(p.Lfft), {}, {}, false);
        return;
    }
    Services().Player().PlayRange(info, p.start, p.end, Services().HeadPlaySink(), playFollower_,
                                  false);
}

void CFftScrollView::ShowInfo() {
    CSfFft* item = Item();
    if (!item || !item->GetHead())
        return;
    Services().Desktop().ShowMessage(SpectrumShowInfoText(item->GetHead()->Info(), item->Param()),
                                     MessageIcon::Information);
}

void CFftScrollView::InsertFft() {
    if (CSfBase* item = GetItem())
        Services().InsertItem(InsertRequest::Spectrum, item);
}

// Exactly what "kavirel-cli spectrum" prints for the same task and settings.
DataTable CFftScrollView::ExportTable() const {
    CSfFft* item = Item();
    if (!item || !item->GetHead())
        return {};
    return SpectrumTable(item->GetHead()->Info(), item->Param(), item->YScale());
}

QMenu* CFftScrollView::CreateContextMenu() {
    auto* menu = new QMenu(this);
    const bool hasItem = GetItem() != nullptr;
    QAction* insertFft = menu->addAction(QStringLiteral("Insert &Fft"));
    insertFft->setData(Cmd::ViewInsertFft);
    insertFft->setEnabled(hasItem);
    connect(insertFft, &QAction::triggered, this, &CFftScrollView::InsertFft);
    menu->addSeparator();
    QAction* showInfo = menu->addAction(QStringLiteral("Show &Info"));
    showInfo->setData(Cmd::ViewShowInfo);
    showInfo->setEnabled(hasItem);
    connect(showInfo, &QAction::triggered, this, &CFftScrollView::ShowInfo);
    return menu;
}
