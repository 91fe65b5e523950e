#include "spectrum/ui/CFftScrollView2.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "app/ui/WindowImage.h"
#include "drawing/ui/AmplitudeAxis.h"
#include "drawing/ui/PlotCanvas.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "playback/CSfPlay.h"
#include "playback/PlayNotify.h"
#include "resources/CommandIds.h"
#include "soundfile/DesktopServices.h"
#include "spectrum/CSfFft.h"
#include "spectrum/FramePane.h"
#include "spectrum/PitchReading.h"
#include "spectrum/SpectrumTable.h"
#include "spectrum/ui/CFftScrollView.h"

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

int g_mark = 0;

bool Ctrl(const QKeyEvent* event) {
    return event->modifiers() & Qt::ControlModifier;
}

std::optional<FrameKey> CursorKey(const QKeyEvent* event) {
    const bool ctrl = Ctrl(event);
    switch (event->key()) {
    case Qt::Key_End:
        return FrameKey::End;
    case Qt::Key_Home:
        return FrameKey::Home;
    case Qt::Key_Left:
        return ctrl ? FrameKey::PreviousCrossing : FrameKey::Left;
    case Qt::Key_Right:
        return ctrl ? FrameKey::NextCrossing : FrameKey::Right;
    case Qt::Key_F:
        if (IsPlainLetter(event))
            return FrameKey::Fundamental;
        break;
    case Qt::Key_S:
        if (IsPlainLetter(event))
            return FrameKey::Mark;
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool IsPaneKey(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_F4 || key == Qt::Key_F7 || key == Qt::Key_Escape ||
           CursorKey(event).has_value();
}

} // namespace

int CFftScrollView2::Mark() {
    return g_mark;
}

CFftScrollView2::CFftScrollView2(ViewServices& services, CFftScrollView& spectrum, QWidget* parent)
    : CBaseScrollView(services, nullptr, parent), spectrum_(spectrum), sink_(this) {
    setWhatsThis("The analysed frame of the spectrum window. Click or Left and Right for a "
                 "sample, Ctrl+Left and Ctrl+Right for the zero crossings; S sets the mark, "
                 "from which the period and its frequency are measured; F gives the "
                 "fundamental frequency from the zero crossings and, at an instant, the "
                 "tracked pitch of the frame's middle.");
}

CSfBase* CFftScrollView2::GetItem() const {
    return spectrum_.GetItem();
}

CSfFft* CFftScrollView2::Item() const {
    return spectrum_.Item();
}

bool CFftScrollView2::Drawable() const {
    if (!spectrum_.Drawable())
        return false;
    CSfFft* item = Item();
    const SfFftParam& p = item->Param();
    return uint64_t(p.start) + uint64_t(std::max(p.Lfft, 0)) <= item->GetHead()->Info().frames;
}

QSize CFftScrollView2::sizeHint() const {
    const QSize above = spectrum_.sizeHint();
    return QSize(above.width(), above.height() / 4);
}

PlotRect CFftScrollView2::Plot() const {
    PlotRect plot{kLeft, kTop, width() - kRight, height() - kBottom};
    if (!Drawable())
        return plot;
    // A quiet frame has long percentages; the plot moves right until they fit.
    const SfFftParam& p = Item()->Param();
    const float g = FrameAmplitude(p, FrameDrawCount(p, Services().ScreenWidth()));
    plot.left =
        AmplitudeAxisLeft(*this, plot, PercentTop(g, Item()->GetHead()->Info().bytesPerSample));
    return plot;
}

const QImage& CFftScrollView2::PlotImage() {
    const SfFftParam& p = Item()->Param();
    if (CanvasFits(plot_, *this) && plotFrame_ == p.results.samples.get())
        return plot_;
    plotFrame_ = p.results.samples.get();
    QPainter painter;
    const PlotRect r = Plot();
    if (!BeginPlotImage(plot_, painter, *this, r))
        return plot_;

    const SfInfo& info = Item()->GetHead()->Info();
    const int n = FrameDrawCount(p, Services().ScreenWidth());
    const float g = FrameAmplitude(p, n);
    DrawAmplitudeAxis(painter, r, PercentTop(g, info.bytesPerSample));
    const double last = IsInstant(p) ? double(p.start) + p.Lfft : double(p.end);
    DrawXScale(XScale{painter, r, float(p.start / double(info.rate)), float(last / info.rate), "s",
                      true, true});
    if (n <= 0)
        return plot_;
    std::vector<PlotPoint> points(static_cast<size_t>(n));
    CurveToPoints(points.data(), p.results.samples->data(), n, r, -g, g);
    DrawCurve(painter, points, CurveColour(palette()), r);
    return plot_;
}

QRect CFftScrollView2::CursorRect() const {
    const PlotRect r = Plot();
    if (cursorX_ <= r.left || cursorX_ >= r.right)
        return {};
    return QRect(cursorX_, r.top, 1, r.bottom - r.top);
}

void CFftScrollView2::MoveCursorLine(int x) {
    const QRect before = CursorRect();
    cursorX_ = x;
    update(QRegion(before) + CursorRect());
}

void CFftScrollView2::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (!Drawable()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    const QRect dirty = event->rect();
    DrawCanvas(p, PlotImage(), dirty);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.fillRect(CursorRect(), Qt::black);
}

void CFftScrollView2::resizeEvent(QResizeEvent* event) {
    CBaseScrollView::resizeEvent(event);
    // The index is what lasts; the line follows the new width.
    if (Drawable() && cursorX_ > Plot().left)
        cursorX_ = FrameCursorX(Plot(), FrameCursorCount(Item()->Param()), cursorIndex_);
}

void CFftScrollView2::StyleChanged() {
    plot_ = QImage();
}

void CFftScrollView2::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || !Drawable())
        return CBaseScrollView::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    CSfFft* item = Item();
    const SfFftParam& p = item->Param();
    const int index = FrameIndexAt(Plot(), FrameCursorCount(p), at.x(), at.y());
    if (index < 0)
        return;
    cursorIndex_ = index;
    Services().Desktop().SetInfoText(FrameClickText(item->GetHead()->Info(), p, index));
    MoveCursorLine(at.x());
}

bool CFftScrollView2::TakesKey(const QKeyEvent* key) const {
    return Item() && IsPaneKey(key);
}

bool CFftScrollView2::HandleKey(QKeyEvent* event) {
    CSfFft* item = Item();
    if (!item || !item->GetHead() || !IsPaneKey(event))
        return false;
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_F7) {
        Services().Player().StopPlay();
        return true;
    }
    if (!Drawable())
        return false;
    if (key == Qt::Key_F4) {
        Play();
        return true;
    }
    const SfFftParam& p = item->Param();
    const int count = FrameCursorCount(p);
    const FrameCursor to = StepFrameCursor(FrameCursor{cursorIndex_, mode_, g_mark},
                                           *CursorKey(event), p.results.samples->data(), count);
    cursorIndex_ = to.index;
    mode_ = to.mode;
    g_mark = to.mark;
    const SfInfo& info = item->GetHead()->Info();
    const FrameNoteNames names{spectrum_.ReferenceHz(), spectrum_.Notation()};
    std::string text = FrameKeyText(info, p, to, names);
    // An instant's fundamental from the zero crossings is followed by the
    // tracked pitch at the middle of its frame.
    if (*CursorKey(event) == FrameKey::Fundamental && IsInstant(p)) {
        const uint32_t middle = p.start + uint32_t(std::max(p.Lfft, 0) / 2);
        text += PitchText("PitchF0", PitchAround(info, middle, p.channel, PitchParams{}),
                          names.referenceHz, names.notation);
    }
    Services().Desktop().SetInfoText(text);
    MoveCursorLine(FrameCursorX(Plot(), count, cursorIndex_));
    return true;
}

void CFftScrollView2::Play() {
    CSfFft* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const SfFftParam& p = item->Param();
    if (IsInstant(p)) {
        Services().Player().PlayRange(info, p.start, p.start + uint32_t(p.Lfft), {}, {}, false);
        return;
    }
    Services().Player().PlayRange(info, p.start, p.end, Services().HeadPlaySink(), sink_.Sink(),
                                  false);
}

void CFftScrollView2::OnPlayNotify(const PlayNotifyEvent& event) {
    if (!Drawable())
        return;
    CSfFft* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const std::optional<PlayPoint> point = event.PointFor(info);
    if (!point)
        return;
    // The index stays: the line rests where playback stopped.
    MoveCursorLine(FramePlaybackX(Plot(), item->Param(), info.rate, point->position));
}

void CFftScrollView2::ShowInfo() {
    spectrum_.ShowInfo();
}

DataTable CFftScrollView2::ExportTable() const {
    CSfFft* item = Item();
    if (!item || !item->GetHead())
        return {};
    return FrameTable(item->GetHead()->Info(), item->Param(), Services().ScreenWidth());
}

QMenu* CFftScrollView2::CreateContextMenu() {
    auto* menu = new QMenu(this);
    const bool hasItem = GetItem() != nullptr;
    QAction* insertFft = menu->addAction(QStringLiteral("Insert &Fft"));
    insertFft->setData(Cmd::ViewInsertFft);
    insertFft->setEnabled(hasItem);
    connect(insertFft, &QAction::triggered, &spectrum_, &CFftScrollView::InsertFft);
    menu->addSeparator();
    QAction* showInfo = menu->addAction(QStringLiteral("Show &Info"));
    showInfo->setData(Cmd::ViewShowInfo);
    showInfo->setEnabled(hasItem);
    connect(showInfo, &QAction::triggered, this, &CFftScrollView2::ShowInfo);
    return menu;
}
