#include "waveform/ui/CHeadWnd.h"

#include "app/ui/ExportFiles.h"
#include "app/ui/PlayKeys.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "drawing/ScaleMath.h"
#include "drawing/TimeText.h"
#include "drawing/ui/AxisDrawing.h"
#include "drawing/ui/PlotCanvas.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "playback/CSfPlay.h"
#include "playback/PlayNotifySink.h"
#include "playback/ShortPiece.h"
#include "resources/CommandIds.h"
#include "selection/ui/CTaskDlg.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/OverviewTable.h"
#include "soundfile/SfItems.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>

// The Method menu stores the id of the chosen command as the overview method,
// and the overview cache keeps that number: the two lists must agree.
static_assert(int(Cmd::MethodRms) == int(kOverviewRms) && int(Cmd::MethodWav) == int(kOverviewWav));

namespace {

using namespace TaskFlags;

constexpr int kLeft = 22;
// The head window keeps the active edge and the changed mark in its flags.
constexpr uint32_t kHeadFlags = kLeftActive | kRightActive | kChanged;

std::string Printf(const char* format, int pixels, const std::string& text) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, pixels, text.c_str());
    return buffer;
}

} // namespace

CHeadWnd::CHeadWnd(ViewServices& services, QWidget* parent)
    : QWidget(parent), services_(services), sink_(this),
      selection_(*this, *this, SelectionInput::Rules()) {
    setObjectName("HeadWnd");
    setWhatsThis("The head window: the whole current sound file, channel by channel. Drag to "
                 "select the range and channel that new analysis windows take; Enter plays the "
                 "file, F6 the selection, Esc stops. The right button offers Insert Wav, Fft "
                 "and Son, Show Info, Task and the overview Method.");
    setFocusPolicy(Qt::StrongFocus);
    // The pointer chooses the edge that Shift+click and Shift+arrows move
    // as it passes over the plot, without a button.
    setMouseTracking(true);
    setMinimumHeight(60);
}

CHeadWnd::~CHeadWnd() {
    services_.Player().StopPlay();
}

CSfHead* CHeadWnd::Head() const {
    return services_.CurrentHead();
}

QRect CHeadWnd::PlotRect() const {
    return QRect(QPoint(kLeft, 4), QPoint(width() - 4 - 1, height() - 16 - 1));
}

TimePlot CHeadWnd::Axis() const {
    const CSfHead* head = Head();
    return TimePlot{0, head ? head->Info().frames : 0, kLeft, PlotRect().width()};
}

int CHeadWnd::ChannelOfRow(int y) const {
    const CSfHead* head = Head();
    const int N = head ? head->Info().channels : 1;
    const double H = PlotRect().height();
    if (H <= 0 || N <= 0)
        return 0;
    const int channel = int(std::max(0.0, y / (H / N)));
    return std::min(channel, N - 1);
}

QRect CHeadWnd::SelectionRect(const SfTask& task) const {
    const CSfHead* head = Head();
    const int N = std::max(1, head ? head->Info().channels : 1);
    const int H = PlotRect().height();
    const int c = std::clamp(task.channel, 0, N - 1);
    const int top = int(double(c) * H / N) + 5;
    const int bottom = int(double(c + 1) * H / N) + 3;
    return QRect(QPoint(task.selectLeft, top), QPoint(task.selectRight, bottom));
}

void CHeadWnd::SelectionToTask() {
    SfTask& task = Head()->Info().task;
    const TimePlot axis = Axis();
    task.start = TruncatedFrameOfPixel(axis, task.selectLeft);
    task.end = TruncatedFrameOfPixel(axis, task.selectRight);
}

CHeadWnd::PixelBasis CHeadWnd::Basis() const {
    const CSfHead* head = Head();
    if (!head)
        return PixelBasis();
    const SfTask& task = head->Info().task;
    return PixelBasis{
        head, task.start, task.end, PlotRect().width(), task.selectLeft, task.selectRight};
}

void CHeadWnd::PixelsFromFrames() {
    CSfHead* head = Head();
    if (!head || Basis() == pixelBasis_)
        return;
    SfTask& task = head->Info().task;
    const TimePlot axis = Axis();
    task.selectLeft = TruncatedPixelOfFrame(axis, task.start);
    task.selectRight = TruncatedPixelOfFrame(axis, task.end);
    pixelBasis_ = Basis();
}

bool CHeadWnd::Editable() const {
    const QRect plot = PlotRect();
    return Head() && plot.width() > 0 && plot.height() > 0;
}

bool CHeadWnd::InPlot(const QPoint& at) const {
    return PlotRect().contains(at);
}

SelectionEditor CHeadWnd::Editor() {
    PixelsFromFrames();
    SelectionEditor::Rules rules;
    rules.plotLeft = kLeft;
    rules.plotRight = kLeft + PlotRect().width();
    rules.edgeFollowsButton = true;
    rules.shiftHomeMovesCursor = true;
    const SfTask& task = Head()->Info().task;
    return SelectionEditor(rules, Selection{task.playCursor, task.playCursor, task.selectLeft,
                                            task.selectRight, task.flags});
}

void CHeadWnd::Store(const SelectionEditor& editor) {
    SfTask& task = Head()->Info().task;
    const Selection& s = editor.State();
    task.playCursor = s.cursor;
    task.selectLeft = s.left;
    task.selectRight = s.right;
    task.flags = (task.flags & ~kHeadFlags) | (s.flags & kHeadFlags);
    SelectionToTask();
    // The pixels stay as the user set them; the frames follow them.
    pixelBasis_ = Basis();
    ShowEdit();
}

void CHeadWnd::StorePointerEdit(const SelectionEditor& editor, const QPoint& at) {
    Head()->Info().task.channel = ChannelOfRow(at.y());
    Store(editor);
}

void CHeadWnd::StoreHover(const SelectionEditor& editor) {
    // Only the active edge changes: the frames stay as they are.
    SfTask& task = Head()->Info().task;
    task.flags = (task.flags & ~kHeadFlags) | (editor.State().flags & kHeadFlags);
}

void CHeadWnd::PlayStep() {
    const SfInfo& info = Head()->Info();
    const uint32_t framesPerPixel = info.frames / uint32_t(PlotRect().width());
    const uint32_t frame = uint32_t(std::max(0, info.task.playCursor - kLeft)) * framesPerPixel;
    PlayShortPiece(services_.Player(), services_.Store(), info, frame, {});
}

std::string CHeadWnd::InfoText() const {
    const CSfHead* head = Head();
    if (!head)
        return std::string();
    const SfInfo& info = head->Info();
    const SfTask& task = info.task;
    const float rate = float(info.rate);
    char chan[160];
    std::snprintf(chan, sizeof chan, "\r\nChan: %d\tTotal:  %s\r\n", task.channel,
                  FormatFrames(int32_t(info.frames), rate, 0).c_str());
    return ShortPathText(info.path, 25) + chan +
           Printf("Start:\t[%04d] %s\r\n", task.selectLeft - kLeft,
                  FormatFrames(int32_t(task.start), rate, 1)) +
           Printf("End:\t[%04d] %s\r\n", task.selectRight - kLeft,
                  FormatFrames(int32_t(task.end), rate, 1)) +
           Printf("Length:\t[%04d] %s", task.selectRight - task.selectLeft,
                  FormatFrames(int32_t(task.end - task.start), rate, 1));
}

void CHeadWnd::ShowInfoText() {
    services_.Desktop().SetInfoText(InfoText());
}

const QImage& CHeadWnd::PlotImage() {
    CSfHead* head = Head();
    const SfInfo& info = head->Info();
    if (CanvasFits(plot_, *this) && plotKey_ == info.overview.data() &&
        plotMethod_ == info.overviewMethod)
        return plot_;
    plotKey_ = info.overview.data();
    plotMethod_ = info.overviewMethod;
    plot_ = PlotCanvas(*this);
    QPainter p(&plot_);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QRect plot = PlotRect();
    const ::PlotRect r{plot.left(), plot.top(), plot.right() + 1, plot.bottom() + 1};

    const XScale axis{p, r, 0.0f, float(double(info.frames) / info.rate), "s", false, true};
    DrawXScale(axis);
    const bool wav = info.overviewMethod == kOverviewWav;
    DrawVerticalTitle(p, ::PlotRect{0, r.top, kLeft, r.bottom}, 0, wav ? "WAV" : "RMS", true);

    const int N = info.channels;
    const size_t V = info.overview.size() / (4 * size_t(N)) * 2;
    const float* values = info.overview.data() + (wav ? 0 : size_t(N) * V);
    float lo, hi;
    if (wav) {
        float peak = PeakAbs(values, int(size_t(N) * V));
        if (!(peak > 0))
            peak = 1;
        lo = -peak;
        hi = peak;
    } else if (MinMax(values, int(size_t(N) * V), &lo, &hi)) {
        lo -= 1;
        hi += 1;
    }
    const int H = r.bottom - r.top;
    std::vector<PlotPoint> points(V);
    for (int c = 0; c < N; ++c) {
        const int top = (c * H) / N + 5;
        const int bottom = ((c + 1) * H) / N + 4;
        const QRect strip(QPoint(r.left, top), QPoint(r.right - 1, bottom - 1));
        p.fillRect(strip, palette().color(QPalette::Base));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(strip.adjusted(0, 0, -1, -1));
        const ::PlotRect channel{r.left, top, r.right, bottom};
        CurveToPoints(points.data(), values + size_t(c) * V, int(V), channel, lo, hi);
        DrawCurve(p, points, CurveColour(palette()), r);
    }
    if (N > 1)
        DrawChannelLabels(p, r, N);
    return plot_;
}

void CHeadWnd::DrawChannelLabels(QPainter& p, const ::PlotRect& r, int channels) const {
    const int H = r.bottom - r.top;
    p.save();
    p.setFont(ScaleFont(*this));
    const QFontMetrics metrics = p.fontMetrics();
    for (int c = 0; c < channels; ++c) {
        const int top = (c * H) / channels + 5;
        // The strips' frames touch: a grey line between them, across the
        // plot, keeps the channels apart.
        if (c > 0)
            p.fillRect(QRect(r.left, top - 1, r.right - r.left, 1), palette().color(QPalette::Mid));
        const QString name = channels == 2 ? QString(c == 0 ? "L" : "R") : QString::number(c + 1);
        const QRect box(r.left + 2, top + 1, metrics.horizontalAdvance(name) + 4, metrics.height());
        // Only when the strip is tall enough to hold the name.
        if (box.bottom() >= ((c + 1) * H) / channels + 3)
            continue;
        p.fillRect(box, palette().color(QPalette::Base));
        p.setPen(palette().color(QPalette::WindowText));
        DrawTextAt(p, box.left() + 2, box.top(), name);
    }
    p.restore();
}

void CHeadWnd::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    CSfHead* head = Head();
    if (!head || PlotRect().width() <= 0 || PlotRect().height() <= 0) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    DrawCanvas(p, PlotImage(), event->rect());
    PixelsFromFrames();
    const SfTask& task = head->Info().task;
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    const QRect selection = SelectionRect(task).normalized();
    if (task.selectRight > task.selectLeft)
        p.fillRect(selection, Qt::black);
    if (task.playCursor > kLeft) {
        const QRect plot = PlotRect();
        p.fillRect(QRect(task.playCursor, plot.top() + 1, 1, plot.height() - 2), Qt::black);
    }
}

void CHeadWnd::Refresh() {
    PixelsFromFrames();
    ShowEdit();
}

void CHeadWnd::ShowEdit() {
    update();
    if (Head())
        ShowInfoText();
}

void CHeadWnd::mousePressEvent(QMouseEvent* event) {
    if (!selection_.Press(event))
        QWidget::mousePressEvent(event);
}

void CHeadWnd::mouseMoveEvent(QMouseEvent* event) {
    // Moves outside the plot go nowhere else either.
    selection_.Move(event);
}

void CHeadWnd::mouseReleaseEvent(QMouseEvent* event) {
    selection_.Release(event);
    QWidget::mouseReleaseEvent(event);
}

bool CHeadWnd::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && Head() &&
        IsViewKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == PlayNotifyEvent::EventType()) {
        OnPlayNotify(static_cast<PlayNotifyEvent&>(*event));
        return true;
    }
    return QWidget::event(event);
}

void CHeadWnd::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event))
        QWidget::keyPressEvent(event);
}

bool CHeadWnd::HandleKey(QKeyEvent* event) {
    if (!Editable())
        return false;
    SfInfo& info = Head()->Info();
    SfTask& task = info.task;
    const int key = event->key();

    const PlayKeyFrames frames{info,     0,          info.frames, task.start,
                               task.end, task.start, PlaySink(),  {}};
    switch (HandlePlayKey(event, services_.Player(), frames)) {
    case PlayKeyOutcome::Stopped:
        // Nothing plays now: the selection, not the last position, is what
        // the info text shows.
        ShowInfoText();
        return true;
    case PlayKeyOutcome::Played:
        ++ownStarts_;
        return true;
    case PlayKeyOutcome::NotPlayKey:
        break;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int last = info.channels - 1;
        if (key == Qt::Key_Up)
            task.channel = task.channel > 0 ? task.channel - 1 : last;
        else
            task.channel = task.channel < last ? task.channel + 1 : 0;
        Store(Editor());
        return true;
    }
    return selection_.Key(event);
}

void CHeadWnd::OnPlayNotify(const PlayNotifyEvent& event) {
    CSfHead* head = Head();
    if (!head)
        return;
    SfInfo& info = head->Info();
    if (event.Code() == kPlayStarting) {
        // Each playback reports its start first, in the order they started.
        ownPlayback_ = ownStarts_ > 0;
        if (ownStarts_ > 0) {
            --ownStarts_;
            movedHead_ = nullptr;
        }
    }
    const bool over = event.Code() == kPlayClosed || !services_.Player().IsPlaying();
    // The first report that moves the line for playback from elsewhere (the
    // replacing of an earlier one may come before its start) keeps where the
    // line was.
    if (!over && !ownPlayback_ && movedHead_ != head) {
        movedHead_ = head;
        cursorBeforePlay_ = info.task.playCursor;
    }
    if (over && !ownPlayback_) {
        // Playback from an analysis window leaves no line here, and the info
        // text to the window that played.
        if (movedHead_ == head)
            info.task.playCursor = cursorBeforePlay_;
        movedHead_ = nullptr;
        update();
        return;
    }
    const std::optional<PlayPoint> point = event.PointFor(info);
    if (!point || info.frames == 0)
        return;
    const double w = PlotRect().width();
    info.task.playCursor = int(w / info.frames * info.rate * point->position) + kLeft;
    // Notifications still queued when playback ended, and the last one, must
    // not leave a position on show that no longer plays.
    if (over)
        ShowInfoText();
    else
        services_.Desktop().SetInfoText("PLAY " + FormatSeconds(point->position, 0));
    update();
}

void CHeadWnd::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                  : mapToGlobal(QPoint(5, 5));
    std::unique_ptr<QMenu> menu(CreateContextMenu());
    menu->exec(at);
}

QMenu* CHeadWnd::CreateContextMenu() {
    CSfHead* head = Head();
    auto* menu = new QMenu(this);
    QAction* insertWav = menu->addAction("Insert &Wav");
    insertWav->setData(Cmd::HeadInsertWav);
    connect(insertWav, &QAction::triggered, this,
            [this, head] { services_.InsertItem(InsertRequest::Waveform, head); });
    QAction* insertFft = menu->addAction("Insert &Fft");
    insertFft->setData(Cmd::HeadInsertFft);
    connect(insertFft, &QAction::triggered, this,
            [this, head] { services_.InsertItem(InsertRequest::Spectrum, head); });
    QAction* insertSon = menu->addAction("Insert &Son");
    insertSon->setData(Cmd::HeadInsertSon);
    connect(insertSon, &QAction::triggered, this,
            [this, head] { services_.InsertItem(InsertRequest::Sonagram, head); });
    QAction* info = menu->addAction("Show &Info");
    info->setData(Cmd::HeadShowInfo);
    connect(info, &QAction::triggered, this, &CHeadWnd::ShowInfo);
    QAction* taskDialog = menu->addAction("&Task");
    taskDialog->setData(Cmd::HeadTask);
    connect(taskDialog, &QAction::triggered, this, &CHeadWnd::RunTaskDialog);
    QMenu* method = menu->addMenu("&Method");
    auto* group = new QActionGroup(method);
    for (const auto& [id, text] : {std::pair<int, const char*>{Cmd::MethodWav, "&Wav"},
                                   std::pair<int, const char*>{Cmd::MethodRms, "&Rms"}}) {
        QAction* action = method->addAction(text);
        action->setData(id);
        action->setCheckable(true);
        action->setChecked(head && head->Info().overviewMethod == id);
        action->setEnabled(head != nullptr);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, id = id] { SetMethod(id); });
    }
    menu->addSeparator();
    QAction* exportData = menu->addAction("Export &Data...");
    exportData->setData(Cmd::HeadExportData);
    connect(exportData, &QAction::triggered, this, &CHeadWnd::ExportData);
    // Every command acts on the current head; without one, none is offered.
    for (QAction* action : menu->actions())
        action->setEnabled(head != nullptr);
    return menu;
}

DataTable CHeadWnd::ExportTable() const {
    CSfHead* head = Head();
    if (!head)
        return {};
    const SfInfo& info = head->Info();
    const size_t perColumn = 4 * size_t(std::max(info.channels, 1));
    return OverviewTable(info, int(info.overview.size() / perColumn));
}

void CHeadWnd::ExportData() {
    if (Head())
        ::ExportTable(ExportTable(), this, services_);
}

void CHeadWnd::ShowInfo() {
    CSfHead* head = Head();
    if (!head)
        return;
    const SfInfo& info = head->Info();
    const double rate = info.rate;
    char extra[256];
    std::snprintf(extra, sizeof extra, "\n\nStart:\t%gs\nEnd:\t%gs\nChan:\t%d\n\ndTime:\t%gs",
                  info.task.start / rate, info.task.end / rate, info.task.channel,
                  info.frames / (std::max(1, PlotRect().width()) * rate));
    services_.Desktop().ShowMessage(FileInfoText(info) + extra, MessageIcon::Information);
}

void CHeadWnd::RunTaskDialog() {
    CSfHead* head = Head();
    if (!head)
        return;
    SfInfo& info = head->Info();
    CTaskDlg dialog(this);
    dialog.rate = float(info.rate);
    dialog.lowerLimit = 0;
    dialog.upperLimit = int32_t(info.frames);
    dialog.limitLength = int32_t(info.frames);
    dialog.start = int32_t(info.task.start);
    dialog.end = int32_t(info.task.end);
    dialog.length = int32_t(info.task.end - info.task.start);
    if (dialog.exec() != QDialog::Accepted)
        return;
    info.task.start = uint32_t(std::max(0, dialog.start));
    info.task.end = uint32_t(std::max(0, dialog.end));
    services_.SelectItem(head);
    Refresh();
    setFocus(Qt::OtherFocusReason);
}

void CHeadWnd::SetMethod(int method) {
    CSfHead* head = Head();
    if (!head)
        return;
    head->Info().overviewMethod = method;
    update();
    setFocus(Qt::OtherFocusReason);
    SaveOverviewMethod(head->Info());
}
