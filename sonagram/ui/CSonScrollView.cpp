#include "sonagram/ui/CSonScrollView.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/PlayKeys.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "drawing/ScaleMath.h"
#include "drawing/TimeText.h"
#include "drawing/ui/AxisDrawing.h"
#include "drawing/ui/FrequencyScaleDrawing.h"
#include "drawing/ui/PlotCanvas.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "playback/CSfPlay.h"
#include "playback/PlayNotify.h"
#include "playback/ShortPiece.h"
#include "resources/CommandIds.h"
#include "selection/ui/CTaskDlg.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ColourMaps.h"
#include "sonagram/ComputeSonagram.h"
#include "sonagram/SonagramAxis.h"
#include "sonagram/SonagramDisplay.h"
#include "sonagram/SonagramTable.h"
#include "sonagram/SonagramTexts.h"
#include "sonagram/ui/CSonScrollView2.h"
#include "sonagram/ui/SonagramImage.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SfItems.h"
#include "spectrum/SpectrumTable.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace {

constexpr int kLeft = 28;
constexpr int kTop = 4;
constexpr int kRight = 4;
constexpr int kBottom = 15;

using namespace TaskFlags;

uint32_t CursorFrame(const SfFftParam& p) {
    return static_cast<uint32_t>(p.view.cursorFrame);
}

// P plays one analysis frame at the cursor, Shift+P the one ending there.
bool IsPieceKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_P && IsPlainLetter(event);
}

bool IsLogKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_W && IsPlainLetter(event);
}

// F shows or hides the pitch (F0) contour.
bool IsPitchKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_F && IsPlainLetter(event);
}

// The height of the level strip under the printed image: half an inch on
// upright paper, two thirds of an inch on paper turned sideways, where the
// image is lower.
int PrintedStripHeight(bool portrait, int dpi) {
    return portrait ? dpi / 2 : 2 * (dpi / 3);
}

// The sonagram window's pointer and keys: a drag goes on outside the plot
// only when it began inside, the release takes the edge to where the button
// went up, and a step that does not fit still ends the last edit.
SelectionInput::Rules InputRules() {
    SelectionInput::Rules rules;
    rules.dragLeavesPlot = true;
    rules.dragNeedsPress = true;
    rules.releaseMovesEdge = true;
    rules.hoverNeedsNoButton = true;
    rules.refusedKeyEndsEdit = true;
    return rules;
}

} // namespace

CSonScrollView::CSonScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                               QWidget* parent)
    : CBaseScrollView(services, std::move(document), parent), sink_(this), selectionLeft_(kLeft),
      selectionRight_(kLeft), selection_(*this, *this, InputRules()) {
    // The nearer selection edge follows the pointer even without a button held.
    setMouseTracking(true);
    setWhatsThis("The sonagram: time to the right, frequency upward, darker for louder. Click "
                 "or Left and Right for the cursor, drag or Shift with the keys for a "
                 "selection; the info box shows their times. P plays an analysis frame at the "
                 "cursor, F6 the selection, Enter the whole range; W writes the measurement to "
                 "the data log. F shows the pitch of voiced sound as a red curve with its "
                 "scale in Hz at the right, and its value at the cursor in the info box.");
}

CSfSon* CSonScrollView::Item() const {
    return dynamic_cast<CSfSon*>(GetItem());
}

bool CSonScrollView::Drawable() const {
    CSfSon* item = Item();
    return computed_ && item && item->GetHead() && item->Range().length > 0 &&
           item->GetHead()->Info().rate > 0;
}

bool CSonScrollView::Editable() const {
    const PlotRect r = Plot();
    return Drawable() && r.right > r.left && r.bottom > r.top;
}

QSize CSonScrollView::sizeHint() const {
    // Four fifths of the window; the level pane takes the rest.
    const QSize window = WindowSizeHint();
    return QSize(window.width(), window.height() * 4 / 5);
}

PlotRect CSonScrollView::Plot() const {
    return PlotRect{kLeft, kTop, width() - kRight - ColourBarRoom(), height() - kBottom};
}

int CSonScrollView::ColourBarRoom() const {
    return ShowsColourBar() ? ColourBarWidth(QFontMetrics(ScaleFont(*this))) : 0;
}

bool CSonScrollView::ShowsColourBar() const {
    return map_ != kMapGrey;
}

FrequencyAxis CSonScrollView::FreqAxis() const {
    CSfSon* item = Item();
    if (!item || !item->GetHead())
        return FrequencyAxis(FreqAxisKind::Linear, 0.0, 0.0);
    return SonFrequencyAxis(item->Param(), item->GetHead()->Info().rate);
}

SonReadout CSonScrollView::ReadoutAt(int x, int y) const {
    CSfSon* item = Item();
    const SonRange& range = item->Range();
    const double rate = item->GetHead()->Info().rate;
    return ::ReadoutAt(cells_, Plot(), FreqAxis(), range.start / rate,
                       (double(range.start) + range.length) / rate, x, y);
}

void CSonScrollView::SetColourMap(int32_t map) {
    if (map < 0 || map >= kColourMapCount)
        return;
    map_ = map;
    image_ = SonagramImage(cells_, map_);
    stretchable_ = image_.isNull() ? QImage() : image_.convertToFormat(QImage::Format_RGB32);
    plot_ = QImage();
    if (Editable())
        PixelsFromFrames();
    update();
    // The level pane below takes the bar's room too.
    if (QWidget* frame = parentWidget())
        for (CSonScrollView2* pane : frame->findChildren<CSonScrollView2*>())
            pane->update();
}

QRegion CSonScrollView::FrequencyLineRegion() const {
    const PlotRect r = Plot();
    if (!readoutPoint_ || readoutPoint_->y() < r.top || readoutPoint_->y() >= r.bottom)
        return {};
    return QRegion(r.left + 1, readoutPoint_->y(), r.right - r.left - 1, 1);
}

void CSonScrollView::MoveReadoutPoint(const QPoint& at) {
    if (!Editable() || !InPlot(at))
        return;
    const QRegion before = FrequencyLineRegion();
    readoutPoint_ = at;
    update(before.xored(FrequencyLineRegion()));
}

bool CSonScrollView::InPlot(const QPoint& at) const {
    const PlotRect r = Plot();
    return at.x() >= r.left && at.x() < r.right && at.y() >= r.top && at.y() < r.bottom;
}

TimePlot CSonScrollView::Axis() const {
    const SonRange& range = Item()->Range();
    const PlotRect r = Plot();
    return TimePlot{range.start, range.length, kLeft, r.right - r.left};
}

void CSonScrollView::showEvent(QShowEvent* event) {
    CBaseScrollView::showEvent(event);
    if (!initialised_)
        InitialUpdate();
}

void CSonScrollView::InitialUpdate() {
    initialised_ = true;
    CSfSon* item = Item();
    if (!item || !item->GetHead() || item->GetHead()->Info().rate <= 0)
        return;
    // On failure the user has been told why, and the window stays empty.
    const SonagramOutcome outcome =
        ComputeSonagram(*item, cells_, Services().Desktop(), Services().ScreenWidth());
    computed_ = outcome == SonagramOutcome::Computed || outcome == SonagramOutcome::NoCells;
    if (!computed_)
        return;
    map_ = item->Param().ColourMap >= 0 && item->Param().ColourMap < kColourMapCount
               ? item->Param().ColourMap
               : kMapGrey;
    image_ = SonagramImage(cells_, map_);
    if (!image_.isNull())
        stretchable_ = image_.convertToFormat(QImage::Format_RGB32);

    SfFftParam& p = item->Param();
    const SonRange& range = item->Range();
    p.start = p.end = range.start;
    p.view.cursorFrame = int32_t(range.start);
    // The channel the window shows, so that activating it shows that channel
    // in the head window whatever the head window selected meanwhile.
    p.channel = range.channel;
    p.view.cursorX = kLeft;
    p.view.viewFlags = kShown;
    selectionLeft_ = selectionRight_ = kLeft;
    plot_ = QImage();
    update();
    ShowInfoTextLater();
}

const QImage& CSonScrollView::PlotImage() {
    if (CanvasFits(plot_, *this))
        return plot_;
    QPainter painter;
    const PlotRect r = Plot();
    if (!BeginPlotImage(plot_, painter, *this, r))
        return plot_;

    // Nearest-pixel stretching: every cell stays a sharp-edged block,
    // however far the window enlarges it.
    const QRect area = ToQRect(r);
    if (!stretchable_.isNull()) {
        painter.drawImage(area, stretchable_);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
    CSfSon* item = Item();
    const SonRange& range = item->Range();
    const SfFftParam& p = item->Param();
    const double rate = item->GetHead()->Info().rate;
    DrawXScale(XScale{painter, r, float(range.start / rate),
                      float((double(range.start) + range.length) / rate), "s", true, true});
    const FrequencyAxis axis = FreqAxis();
    if (axis.Kind() == FreqAxisKind::Linear) {
        DrawYScale(YScale{painter, r, p.Fmin * 0.001f, p.Fmax * 0.001f, "%g", true});
    } else {
        painter.setFont(ScaleFont(*painter.device()));
        const CSfSettings& settings = Services().Settings();
        DrawFrequencyTicks(painter, r, axis, settings.Btf(), settings.Btn(), true);
    }
    if (pitch_.Shown())
        pitch_.Draw(painter, r, range, rate);
    painter.setFont(ScaleFont(*painter.device()));
    // The stated scale leaves its unit out; it stands in the image's corner.
    DrawCornerUnit(painter, r, axis.Unit());
    if (ShowsColourBar() && !cells_.index.empty()) {
        const bool fullScale = p.LevelRef == kLevelRefFullScale;
        DrawColourBar(painter, PlotRect{r.right, r.top, width(), r.bottom}, map_,
                      p.results.dBMax - float(p.Range), p.results.dBMax, fullScale ? "dBFS" : "dB");
    }
    return plot_;
}

QRegion SonCursorLineRegion(const PlotRect& plot, int x) {
    if (x <= plot.left || x >= plot.right)
        return {};
    return QRegion(x, plot.top, 1, plot.bottom - plot.top);
}

QRegion CSonScrollView::CursorRegion() const {
    return SonCursorLineRegion(Plot(), Item()->Param().view.cursorX);
}

QRegion CSonScrollView::SelectionRegion() const {
    const PlotRect r = Plot();
    if (selectionRight_ <= selectionLeft_)
        return {};
    return QRegion(
        QRect(selectionLeft_, r.top, selectionRight_ - selectionLeft_, r.bottom - r.top) &
        ToQRect(r));
}

void CSonScrollView::UpdateMarks(const QRegion& cursorBefore, const QRegion& selectionBefore) {
    update(cursorBefore.xored(CursorRegion()) + selectionBefore.xored(SelectionRegion()));
}

void CSonScrollView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (!Drawable()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    const QRect dirty = event->rect();
    DrawCanvas(p, PlotImage(), dirty);
    if (!Editable() || !(Item()->Param().view.viewFlags & kShown))
        return;
    // Cursor and selection invert what lies under them, as in every window
    // of the program; where they overlap the image shows through again.
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& mark : CursorRegion())
        p.fillRect(mark, Qt::black);
    for (const QRect& mark : SelectionRegion())
        p.fillRect(mark, Qt::black);
    for (const QRect& mark : FrequencyLineRegion())
        p.fillRect(mark, Qt::black);
}

void CSonScrollView::resizeEvent(QResizeEvent* event) {
    CBaseScrollView::resizeEvent(event);
    if (!Editable())
        return;
    // A new size is no edit: the frames stay, the pixels follow the width.
    PixelsFromFrames();
    update();
    ShowInfoTextLater();
}

void CSonScrollView::StyleChanged() {
    plot_ = QImage();
}

FrameSelection CSonScrollView::Frames() const {
    const SfFftParam& p = Item()->Param();
    return FrameSelection{CursorFrame(p), p.start, p.end, p.channel};
}

void CSonScrollView::SetFrames(const FrameSelection& frames) {
    SfFftParam& p = Item()->Param();
    p.view.cursorFrame = int32_t(frames.cursor);
    p.start = frames.start;
    p.end = frames.end;
    p.channel = frames.channel;
}

Selection CSonScrollView::Pixels() const {
    const SfFftParam& p = Item()->Param();
    return Selection{p.view.cursorX, p.view.cursorX, selectionLeft_, selectionRight_,
                     p.view.viewFlags};
}

void CSonScrollView::SetPixels(const Selection& pixels) {
    SfFftParam& p = Item()->Param();
    p.view.cursorX = pixels.cursor;
    selectionLeft_ = pixels.left;
    selectionRight_ = pixels.right;
    p.view.viewFlags = pixels.flags;
}

SelectionEditor CSonScrollView::Editor() {
    SelectionEditor::Rules rules;
    rules.plotLeft = kLeft;
    rules.plotRight = Plot().right;
    rules.shiftClickKeepsCursor = true;
    rules.cursorInsidePlot = true;
    return SelectionEditor(rules, Pixels());
}

void CSonScrollView::Store(const SelectionEditor& editor) {
    const QRegion cursorBefore = CursorRegion();
    const QRegion selectionBefore = SelectionRegion();
    SetPixels(editor.State());
    FrameSelection frames = Frames();
    FramesOfEdit(editor.State(), Axis(), frames);
    SetFrames(frames);
    ShowInfoText();
    UpdateMarks(cursorBefore, selectionBefore);
}

void CSonScrollView::StoreHover(const SelectionEditor& editor) {
    Item()->Param().view.viewFlags = editor.State().flags;
}

void CSonScrollView::PlayStep() {
    const SfFftParam& p = Item()->Param();
    PlayCursorPiece(Services().Player(), Services().Store(), Item()->GetHead()->Info(),
                    CursorFrame(p), uint32_t(std::max(p.Lfft, 0)), Services().HeadPlaySink());
}

void CSonScrollView::PixelsFromFrames() {
    Selection pixels = Pixels();
    PixelsOfFrames(Frames(), Axis(), pixels);
    SetPixels(pixels);
}

void CSonScrollView::ShowInfoText() {
    if (!Editable())
        return;
    const SfInfo& info = Item()->GetHead()->Info();
    std::string text = SonInfoText(
        info, Axis(), SonMarks{Item()->Param().view.cursorX, selectionLeft_, selectionRight_});
    // The readout lines follow the stated ones, the pitch line comes last.
    if (readoutPoint_) {
        const CSfSettings& settings = Services().Settings();
        text += SonReadoutText(ReadoutAt(readoutPoint_->x(), readoutPoint_->y()),
                               Item()->Param().LevelRef == kLevelRefFullScale, settings.Btf(),
                               settings.Btn());
    }
    if (pitch_.Shown()) {
        const CSfSettings& settings = Services().Settings();
        text += "\r\n" + pitch_.InfoLine(double(CursorFrame(Item()->Param())) / info.rate,
                                         settings.Btf(), settings.Btn());
    }
    Services().Desktop().SetInfoText(text);
}

void CSonScrollView::ShowInfoTextLater() {
    if (infoPending_)
        return;
    infoPending_ = true;
    QTimer::singleShot(0, this, [this] {
        infoPending_ = false;
        ShowInfoText();
    });
}

void CSonScrollView::PublishTask() {
    CSfSon* item = Item();
    if (!item || !item->GetHead())
        return;
    SfTask& headTask = item->GetHead()->Info().task;
    headTask.start = item->Range().start;
    headTask.end = item->Range().end;
    headTask.channel = item->Param().channel;
    Services().RefreshHeadWindow();
}

void CSonScrollView::ShowInfo() {
    CSfSon* item = Item();
    if (!item || !item->GetHead())
        return;
    Services().Desktop().ShowMessage(SonShowInfoText(item->GetHead()->Info(), *item),
                                     MessageIcon::Information);
}

std::optional<PlotRect> CSonScrollView::PrintedPlot(int width, int height, int dpi) const {
    // Without an image or levels there is no sonagram to print.
    if (!Drawable() || image_.isNull() || Item()->Levels().values.empty())
        return std::nullopt;
    const bool portrait = width < height;
    PlotRect plot{dpi, int(1.5 * dpi), width - dpi, 0};
    if (portrait) {
        plot.bottom = 3 * (plot.right - plot.left) / 4;
    } else {
        plot.top = int(1.5 * dpi) - dpi / 2;
        plot.bottom = height - dpi - dpi / 2;
    }
    plot.bottom += PrintedStripHeight(portrait, dpi);
    return plot;
}

void CSonScrollView::PrintPage(QPainter& painter, const PlotRect& plot, int dpi) {
    CSfSon* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const SonRange& range = item->Range();
    const SfFftParam& p = item->Param();
    const SonLevels& levels = item->Levels();
    const QPaintDevice& page = *painter.device();
    const int strip = PrintedStripHeight(page.width() < page.height(), dpi);
    const PlotRect picture{plot.left, plot.top, plot.right, plot.bottom - strip};
    const PlotRect curve{plot.left, picture.bottom, plot.right, plot.bottom};
    const float rate = float(info.rate);
    const QString title =
        QString("SON: %1 Ch%2 %3_%4 lfft=%5 ra=%6")
            .arg(QString::fromStdString(info.path))
            .arg(range.channel)
            .arg(QString::fromStdString(FormatFrames(int32_t(range.start), rate, 1)))
            .arg(QString::fromStdString(FormatFrames(int32_t(range.end), rate, 1)))
            .arg(p.Lfft)
            .arg(p.Range);

    // Every cell a sharp-edged block, as on the screen.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const auto* printer = dynamic_cast<const QPrinter*>(painter.device());
    const bool greyPaper = printer && printer->colorMode() == QPrinter::GrayScale;
    painter.drawImage(ToQRect(picture),
                      greyPaper && map_ != kMapGrey ? SonagramImage(cells_, kMapGrey) : image_);
    painter.setPen(Qt::black);
    const FrequencyAxis axis = FreqAxis();
    if (axis.Kind() == FreqAxisKind::Linear) {
        DrawYAxis(painter, picture, p.Fmin * 0.001f, p.Fmax * 0.001f, true, "Frequency in KHz");
    } else {
        const CSfSettings& settings = Services().Settings();
        DrawFrequencyTicks(painter, picture, axis, settings.Btf(), settings.Btn(), true);
    }

    // A tenth of the loudest level, or a twentieth of the curve's span where
    // that is more, above the curve and as much below it: the quietest frame
    // would otherwise lie under the frame's bottom line, a curve of even level
    // vanish there altogether, and levels below 0 dB rise above the strip.
    const float room =
        std::max(std::abs(levels.maximum) * 0.1f, (levels.maximum - levels.minimum) / 20);
    const float lowest = levels.minimum - room;
    const float highest = levels.maximum + room;
    const QPen pen(Qt::black, dpi / 300 + 1);
    painter.setPen(pen);
    painter.drawLine(curve.left, curve.top, curve.right - 1, curve.top);
    const int n = int(levels.values.size());
    std::vector<PlotPoint> points(static_cast<size_t>(n));
    CurveToPoints(points.data(), levels.values.data(), n, curve, lowest, highest);
    DrawCurve(painter, points, pen, curve);
    painter.setPen(Qt::black);
    DrawYAxis(painter, curve, lowest, highest, true, "RMS");

    DrawFramedXAxis(painter, plot, float(range.start / double(info.rate)),
                    float((double(range.start) + range.length) / info.rate), "s", title, true,
                    true);
}

void CSonScrollView::mousePressEvent(QMouseEvent* event) {
    MoveReadoutPoint(event->position().toPoint());
    if (!selection_.Press(event))
        CBaseScrollView::mousePressEvent(event);
}

void CSonScrollView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool moved = Editable() && InPlot(at) && readoutPoint_ != at;
    MoveReadoutPoint(at);
    if (!selection_.Move(event))
        CBaseScrollView::mouseMoveEvent(event);
    // The readout follows the pointer over the image.
    if (moved)
        ShowInfoTextLater();
}

void CSonScrollView::mouseReleaseEvent(QMouseEvent* event) {
    if (!selection_.Release(event))
        CBaseScrollView::mouseReleaseEvent(event);
}

bool CSonScrollView::TakesKey(const QKeyEvent* key) const {
    return Editable() && (IsViewKey(key) || IsPieceKey(key) || IsLogKey(key) || IsPitchKey(key));
}

bool CSonScrollView::HandleKey(QKeyEvent* event) {
    if (!Editable())
        return false;
    CSfSon* item = Item();
    const SonRange& range = item->Range();
    const SfFftParam& p = item->Param();
    const PlayKeyFrames frames{
        item->GetHead()->Info(),   range.start, range.end, p.start, p.end, p.start,
        Services().HeadPlaySink(), sink_.Sink()};
    if (HandlePlayKey(event, Services().Player(), frames) != PlayKeyOutcome::NotPlayKey)
        return true;
    if (IsPieceKey(event)) {
        PlayFrameAtCursor(event->modifiers() & Qt::ShiftModifier);
        return true;
    }
    if (IsLogKey(event)) {
        Services().WriteDataLog(SonLogLine(item->GetHead()->Info(), *item));
        return true;
    }
    if (IsPitchKey(event)) {
        TogglePitch();
        return true;
    }
    return selection_.Key(event);
}

void CSonScrollView::PlayFrameAtCursor(bool ending) {
    CSfSon* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const SfFftParam& p = item->Param();
    const uint32_t cursor = CursorFrame(p);
    const uint32_t lfft = uint32_t(std::max(p.Lfft, 0));
    const uint32_t from = ending ? cursor - std::min(cursor, lfft) : cursor;
    const uint32_t to =
        ending ? cursor : uint32_t(std::min<uint64_t>(info.frames, uint64_t(cursor) + lfft));
    // The cursor line stays where it is: only the head window follows.
    if (from < to)
        Services().Player().PlayRange(info, from, to, Services().HeadPlaySink(), {}, false);
}

void CSonScrollView::OnPlayNotify(const PlayNotifyEvent& event) {
    if (!Editable())
        return;
    CSfSon* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const std::optional<PlayPoint> point = event.PointFor(info);
    if (!point)
        return;
    const QRegion cursorBefore = CursorRegion();
    // The frame stays: the line rests where playback stopped.
    item->Param().view.cursorX = PlaybackPixel(Axis(), info.rate, point->position);
    UpdateMarks(cursorBefore, SelectionRegion());
}

QMenu* CSonScrollView::CreateContextMenu() {
    QMenu* menu = NewInsertMenu();
    QAction* showInfo = menu->addAction(QStringLiteral("Show &Info"));
    showInfo->setData(Cmd::ViewShowInfo);
    showInfo->setEnabled(GetItem() != nullptr);
    connect(showInfo, &QAction::triggered, this, &CSonScrollView::ShowInfo);
    QAction* task = menu->addAction(QStringLiteral("&Task"));
    task->setData(Cmd::ViewTask);
    connect(task, &QAction::triggered, this, &CSonScrollView::RunTaskDialog);
    QAction* pitch = menu->addAction(QStringLiteral("Show &Pitch"));
    pitch->setData(Cmd::ViewShowPitch);
    pitch->setCheckable(true);
    pitch->setChecked(pitch_.Shown());
    pitch->setEnabled(Editable());
    connect(pitch, &QAction::triggered, this, &CSonScrollView::TogglePitch);
    QMenu* maps = menu->addMenu(QStringLiteral("Colour &Map"));
    maps->setEnabled(Editable());
    for (int32_t map = 0; map < kColourMapCount; ++map) {
        QAction* choice = maps->addAction(QString::fromUtf8(ColourMapTitle(map)));
        choice->setCheckable(true);
        choice->setChecked(map == map_);
        connect(choice, &QAction::triggered, this, [this, map] {
            SetColourMap(map);
            // Remembered for the sonagrams to come.
            CSfSettings& settings = Services().EditableSettings();
            settings.Son().ColourMap = map;
            settings.SaveSon();
        });
    }
    return menu;
}

void CSonScrollView::TogglePitch() {
    if (!Editable())
        return;
    CSfSon* item = Item();
    pitch_.Toggle(item->GetHead()->Info(), item->Range(), Services().Desktop());
    plot_ = QImage();
    update();
    ShowInfoText();
}

void CSonScrollView::RunTaskDialog() {
    if (!Editable())
        return;
    const std::optional<std::pair<uint32_t, uint32_t>> typed = [this] {
        CSfSon* item = Item();
        const SonRange& range = item->Range();
        const SfFftParam& p = item->Param();
        return CTaskDlg::AskFrames(this, float(item->GetHead()->Info().rate), range.start,
                                   range.end, range.length, p.start, p.end);
    }();
    // The item may have gone while the dialog was open.
    if (!typed || !Editable())
        return;

    SfFftParam& p = Item()->Param();
    std::tie(p.start, p.end) = *typed;
    p.view.cursorFrame = int32_t(p.start);
    // The frames are exactly what was typed; no later settling may take them
    // from the pixels again.
    p.view.viewFlags &= ~(kChanged | kCursorMoved);
    const QRegion cursorBefore = CursorRegion();
    const QRegion selectionBefore = SelectionRegion();
    PixelsFromFrames();
    ShowInfoText();
    UpdateMarks(cursorBefore, selectionBefore);
}

DataTable CSonScrollView::ExportTable() const {
    CSfBase* item = GetItem();
    CSfHead* head = item ? item->GetHead() : nullptr;
    if (!head)
        return {};
    // The contour while it shows, else the levels of the image.
    if (pitch_.Shown())
        return PitchTable(head->Info(), pitch_.Contour());
    return SonagramImageTable(head->Info(), *Item(), cells_);
}
