#include "waveform/ui/CWavScrollView.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/PlayKeys.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "app/ui/WindowImage.h"
#include "drawing/NumberText.h"
#include "drawing/ScaleMath.h"
#include "drawing/TimeText.h"
#include "drawing/ui/AmplitudeAxis.h"
#include "drawing/ui/AxisDrawing.h"
#include "drawing/ui/PlotCanvas.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "playback/CSfPlay.h"
#include "playback/ShortPiece.h"
#include "resources/CommandIds.h"
#include "selection/ui/CTaskDlg.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SfItems.h"
#include "waveform/CSfWav.h"
#include "waveform/WaveformTable.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>
#include <vector>

namespace {

constexpr int kLeft = 28;
constexpr int kTop = 4;
constexpr int kRight = 4;
constexpr int kBottom = 15;

using namespace TaskFlags;

uint32_t CursorFrame(const SfTask& task) {
    return static_cast<uint32_t>(task.cursorFrame);
}

void SetCursorFrame(SfTask& task, uint32_t frame) {
    task.cursorFrame = static_cast<int32_t>(frame);
}

// A pixel position from a computed one, truncated; far-off values (a
// position from another file, a NaN sample) are held where painting still
// clips them instead of overflowing an int.
int TruncatedPixel(double v) {
    if (!(v > -1e6))
        return -1000000;
    return int(std::trunc(std::min(v, 1e6)));
}

int RoundedPixel(double v) {
    return TruncatedPixel(std::floor(v + 0.5));
}

std::string Line(const char* format, int pixels, const std::string& text) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, pixels, text.c_str());
    return buffer;
}

// The largest sample value of the file's sample size, 100 % on the axes.
double FullScale(const SfInfo& info) {
    return std::ldexp(1.0, 8 * std::clamp(info.bytesPerSample, 1, 4) - 1);
}

// The points of the envelope's curve across plot, both ends rounded to the
// nearest pixel.
std::vector<PlotPoint> CurvePoints(const WavEnvelope& envelope, const PlotRect& r) {
    const int n = int(envelope.values.size());
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const double span = double(envelope.upper) - envelope.lower;
    std::vector<PlotPoint> points(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double v = envelope.values[size_t(i)];
        // A silent range has no span; its curve lies on the zero line.
        const double y =
            span > 0 ? r.bottom - (v - envelope.lower) * h / span : r.top + (h + 1) / 2;
        points[size_t(i)] = PlotPoint{RoundedPixel(r.left + double(i) * w / n), RoundedPixel(y)};
    }
    return points;
}

// The waveform window's pointer and keys: a drag goes on outside the plot,
// and a step that does not fit still ends the last edit.
SelectionInput::Rules InputRules() {
    SelectionInput::Rules rules;
    rules.dragLeavesPlot = true;
    rules.hoverNeedsNoButton = true;
    rules.refusedKeyEndsEdit = true;
    return rules;
}

} // namespace

CWavScrollView::CWavScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                               QWidget* parent)
    : CBaseScrollView(services, std::move(document), parent), sink_(this), blockLeft_(kLeft),
      blockRight_(kLeft), selection_(*this, *this, InputRules()) {
    setWhatsThis("The waveform of one channel with its amplitude in percent of full scale. "
                 "Click for the cursor, drag for a block: the info box shows their times and "
                 "the frequency whose period is the block. Enter plays the range, F6 the "
                 "block, F8 from the cursor; the right button opens windows on the block.");
    // The active block edge follows the pointer even without a button held.
    setMouseTracking(true);
    if (!Drawable())
        return;
    CSfWav* item = Item();
    const WavRange& range = item->Range();
    SfTask& task = item->Task();
    task.start = task.end = range.start;
    SetCursorFrame(task, range.start);
    // The channel the window shows, so that activating it shows that channel
    // in the head window whatever the head window selected meanwhile.
    task.channel = range.channel;
    task.playCursor = kLeft;
    task.cursorIndex = 0;
    task.flags = kShown;
    item->BuildEnvelope(Services().Desktop(), Services().ScreenWidth());
}

CSfWav* CWavScrollView::Item() const {
    return dynamic_cast<CSfWav*>(GetItem());
}

bool CWavScrollView::Drawable() const {
    CSfWav* item = Item();
    return item && item->GetHead() && item->Range().length > 0 && item->GetHead()->Info().rate > 0;
}

bool CWavScrollView::Editable() const {
    const PlotRect r = Plot();
    return Drawable() && EnvelopeCount() > 0 && r.right > r.left && r.bottom > r.top;
}

PlotRect CWavScrollView::Plot() const {
    return PlotRect{kLeft, kTop, width() - kRight, height() - kBottom};
}

bool CWavScrollView::InPlot(const QPoint& at) const {
    const PlotRect r = Plot();
    return at.x() >= r.left && at.x() < r.right && at.y() >= r.top && at.y() < r.bottom;
}

int CWavScrollView::EnvelopeCount() const {
    CSfWav* item = Item();
    return item ? int(item->Envelope().values.size()) : 0;
}

TimePlot CWavScrollView::Axis() const {
    const WavRange& range = Item()->Range();
    const PlotRect r = Plot();
    return TimePlot{range.start, range.length, kLeft, r.right - r.left, TimeScaling::WholeFirst};
}

double CWavScrollView::SecondsOfPixel(int x) const {
    CSfWav* item = Item();
    const WavRange& range = item->Range();
    const double rate = item->GetHead()->Info().rate;
    const PlotRect r = Plot();
    return double(x - kLeft) * range.length / (rate * (r.right - r.left)) + range.start / rate;
}

FrameSelection CWavScrollView::Frames() const {
    const SfTask& task = Item()->Task();
    return FrameSelection{CursorFrame(task), task.start, task.end, task.channel};
}

void CWavScrollView::SetFrames(const FrameSelection& frames) {
    SfTask& task = Item()->Task();
    SetCursorFrame(task, frames.cursor);
    task.start = frames.start;
    task.end = frames.end;
    task.channel = frames.channel;
}

Selection CWavScrollView::Pixels() const {
    const SfTask& task = Item()->Task();
    return Selection{task.playCursor, task.cursorIndex, blockLeft_, blockRight_, task.flags};
}

void CWavScrollView::SetPixels(const Selection& pixels) {
    SfTask& task = Item()->Task();
    task.playCursor = pixels.cursor;
    task.cursorIndex = pixels.index;
    blockLeft_ = pixels.left;
    blockRight_ = pixels.right;
    task.flags = pixels.flags;
}

SelectionEditor CWavScrollView::Editor() {
    SelectionEditor::Rules rules;
    rules.plotLeft = kLeft;
    rules.plotRight = Plot().right;
    rules.steps = EnvelopeCount();
    return SelectionEditor(rules, Pixels());
}

void CWavScrollView::Store(const SelectionEditor& editor) {
    SetPixels(editor.State());
    FrameSelection frames = Frames();
    FramesOfEdit(editor.State(), Axis(), frames);
    SetFrames(frames);
    ShowInfoText();
    update();
}

void CWavScrollView::StoreHover(const SelectionEditor& editor) {
    Item()->Task().flags = editor.State().flags;
    ShowInfoText();
}

void CWavScrollView::PlayStep() {
    const SfInfo& info = Item()->GetHead()->Info();
    PlayShortPiece(Services().Player(), Services().Store(), info, CursorFrame(Item()->Task()),
                   Services().HeadPlaySink());
}

void CWavScrollView::PixelsFromFrames() {
    Selection pixels = Pixels();
    PixelsOfFrames(Frames(), Axis(), pixels);
    SetPixels(pixels);
}

std::string CWavScrollView::InfoText() const {
    CSfWav* item = Item();
    const SfTask& task = item->Task();
    if (blockLeft_ == blockRight_) {
        const int index = std::clamp(task.cursorIndex, 0, EnvelopeCount() - 1);
        // The time of the cursor frame itself: it stays when only the
        // window's width (and with it the cursor's pixel) changes.
        const double rate = item->GetHead()->Info().rate;
        return Line("CurPos:\t[%04d] %s\r\n", index, FormatSeconds(CursorFrame(task) / rate, 0)) +
               PrintG(item->Envelope().values[size_t(index)]) + "p\r\n";
    }
    const double from = SecondsOfPixel(blockLeft_);
    const double to = SecondsOfPixel(blockRight_);
    return Line("BlockSt:\t[%04d] %s\r\n", blockLeft_ - kLeft, FormatSeconds(from, 1)) +
           Line("BlockEn:\t[%04d] %s\r\n", blockRight_ - kLeft, FormatSeconds(to, 1)) +
           Line("BlockLe:\t[%04d] %s\r\n", blockRight_ - blockLeft_, FormatSeconds(to - from, 1)) +
           "Frequ  :\t " + PrintG(1.0 / (to - from)) + "Hz";
}

void CWavScrollView::ShowInfoText() {
    Services().Desktop().SetInfoText(InfoText());
}

QSize CWavScrollView::sizeHint() const {
    return WindowSizeHint();
}

void CWavScrollView::PublishTask() {
    CSfWav* item = Item();
    if (!item || !item->GetHead())
        return;
    SfTask& headTask = item->GetHead()->Info().task;
    headTask.start = item->Range().start;
    headTask.end = item->Range().end;
    headTask.channel = item->Task().channel;
    Services().RefreshHeadWindow();
}

const QImage& CWavScrollView::PlotImage() {
    if (CanvasFits(plot_, *this))
        return plot_;
    QPainter p;
    const PlotRect r = Plot();
    if (!BeginPlotImage(plot_, p, *this, r))
        return plot_;

    CSfWav* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const WavRange& range = item->Range();
    const WavEnvelope& envelope = item->Envelope();
    const double rate = info.rate;
    DrawXScale(XScale{p, r, float(range.start / rate),
                      float((double(range.start) + range.length) / rate), "s", false, true});
    DrawAmplitudeAxis(p, r, envelope.upper * 100.0 / FullScale(info));

    DrawCurve(p, CurvePoints(envelope, r), CurveColour(palette()), r);
    return plot_;
}

std::optional<PlotRect> CWavScrollView::PrintedPlot(int width, int height, int dpi) const {
    if (!Drawable())
        return std::nullopt;
    PlotRect plot{dpi, int(1.5 * dpi), width - dpi, 0};
    if (width >= height) {
        plot.top = dpi;
        plot.bottom = height - int(1.5 * dpi);
    } else {
        plot.bottom = (width - 2 * dpi) * 3 / 4;
    }
    return plot;
}

void CWavScrollView::PrintPage(QPainter& painter, const PlotRect& plot, int dpi) {
    CSfWav* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const WavRange& range = item->Range();
    const WavEnvelope& envelope = item->Envelope();
    const double rate = info.rate;
    const QString title =
        QString("WAV: %1 Ch%2 %3_%4")
            .arg(QString::fromStdString(info.path))
            .arg(range.channel)
            .arg(QString::fromStdString(FormatFrames(int32_t(range.start), float(rate), 1)))
            .arg(QString::fromStdString(FormatFrames(int32_t(range.end), float(rate), 1)));
    const double percent = 100.0 / FullScale(info);
    const QPen pen(Qt::black, dpi / 300 + 1);
    painter.setPen(Qt::black);
    DrawFramedXAxis(painter, plot, float(range.start / rate),
                    float((double(range.start) + range.length) / rate), "s", title, false, true);
    DrawYAxis(painter, plot, float(envelope.lower * percent), float(envelope.upper * percent),
              false, "Percentage");
    painter.setPen(pen);
    painter.drawLine(plot.left, plot.top, plot.right - 1, plot.top);
    DrawCurve(painter, CurvePoints(envelope, plot), pen, plot);
}

void CWavScrollView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (!Drawable()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    DrawCanvas(p, PlotImage(), event->rect());
    const SfTask& task = Item()->Task();
    if (!Editable() || !(task.flags & kShown))
        return;
    // Cursor and block invert what lies under them, as in every window of
    // the program; where they overlap the curve shows through again.
    const PlotRect r = Plot();
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    const int x = task.playCursor;
    if (x > r.left && x <= r.right)
        p.fillRect(QRect(x, r.top, 1, r.bottom - r.top), Qt::black);
    if (blockRight_ > blockLeft_)
        p.fillRect(QRect(blockLeft_, r.top, blockRight_ - blockLeft_, r.bottom - r.top), Qt::black);
}

void CWavScrollView::resizeEvent(QResizeEvent* event) {
    CBaseScrollView::resizeEvent(event);
    if (!Editable())
        return;
    // A new size is no edit: the frames stay, the pixels follow the width.
    PixelsFromFrames();
    update();
    // The info text box repaints at once when set; not while the MDI area is
    // in the middle of laying its windows out, but once that is done.
    if (!infoPending_) {
        infoPending_ = true;
        QTimer::singleShot(0, this, [this] {
            infoPending_ = false;
            if (Editable())
                ShowInfoText();
        });
    }
}

void CWavScrollView::StyleChanged() {
    plot_ = QImage();
}

void CWavScrollView::mousePressEvent(QMouseEvent* event) {
    if (!selection_.Press(event))
        CBaseScrollView::mousePressEvent(event);
}

void CWavScrollView::mouseMoveEvent(QMouseEvent* event) {
    if (!selection_.Move(event))
        CBaseScrollView::mouseMoveEvent(event);
}

void CWavScrollView::mouseReleaseEvent(QMouseEvent* event) {
    if (!selection_.Release(event))
        CBaseScrollView::mouseReleaseEvent(event);
}

bool CWavScrollView::TakesKey(const QKeyEvent* key) const {
    return Editable() && IsViewKey(key);
}

bool CWavScrollView::HandleKey(QKeyEvent* event) {
    if (!Editable())
        return false;
    CSfWav* item = Item();
    const WavRange& range = item->Range();
    const SfTask& task = item->Task();
    const PlayKeyFrames frames{
        item->GetHead()->Info(),   range.start, range.end, task.start, task.end, CursorFrame(task),
        Services().HeadPlaySink(), sink_.Sink()};
    if (HandlePlayKey(event, Services().Player(), frames) != PlayKeyOutcome::NotPlayKey)
        return true;
    if (selection_.Key(event))
        return true;
    ShowInfoText();
    return false;
}

void CWavScrollView::OnPlayNotify(const PlayNotifyEvent& event) {
    if (!Editable())
        return;
    CSfWav* item = Item();
    const SfInfo& info = item->GetHead()->Info();
    const std::optional<PlayPoint> point = event.PointFor(info);
    if (!point)
        return;
    // Index and frame stay: the line rests where playback stopped.
    item->Task().playCursor = PlaybackPixel(Axis(), info.rate, point->position);
    update();
}

DataTable CWavScrollView::ExportTable() const {
    CSfWav* item = Item();
    if (!item || !item->GetHead())
        return {};
    return WaveformTable(item->GetHead()->Info(), item->Range(), item->Envelope(),
                         Services().ScreenWidth());
}

QMenu* CWavScrollView::CreateContextMenu() {
    QMenu* menu = NewInsertMenu();
    QAction* task = menu->addAction(QStringLiteral("&Task"));
    task->setData(Cmd::ViewTask);
    connect(task, &QAction::triggered, this, &CWavScrollView::RunTaskDialog);
    return menu;
}

void CWavScrollView::RunTaskDialog() {
    if (!Editable())
        return;
    const std::optional<std::pair<uint32_t, uint32_t>> typed = [this] {
        CSfWav* item = Item();
        const WavRange& range = item->Range();
        return CTaskDlg::AskFrames(this, float(item->GetHead()->Info().rate), range.start,
                                   range.end, range.length, item->Task().start, item->Task().end);
    }();
    // The item may have gone while the dialog was open.
    if (!typed || !Editable())
        return;

    SfTask& task = Item()->Task();
    std::tie(task.start, task.end) = *typed;
    SetCursorFrame(task, task.start);
    // The frames are exactly what was typed; no later settling may take them
    // from the pixels again.
    task.flags &= ~(kChanged | kCursorMoved);

    const TimePlot axis = Axis();
    if (task.start == task.end) {
        task.playCursor = blockLeft_ = blockRight_ = TruncatedPixelOfFrame(axis, task.start);
        task.cursorIndex =
            std::clamp(Editor().IndexOfPixel(task.playCursor), 0, EnvelopeCount() - 1);
    } else {
        blockLeft_ = TruncatedPixelOfFrame(axis, task.start);
        blockRight_ = TruncatedPixelOfFrame(axis, task.end);
    }
    ShowInfoText();
    update();
}
