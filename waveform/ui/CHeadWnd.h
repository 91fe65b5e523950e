// The head window: the whole current sound file, channel by channel, as its
// waveform envelope or its level curve, with the task selection, the play
// cursor and the keys that play the file.
#pragma once

#include "app/ui/QtPlaySink.h"
#include "selection/TimePlot.h"
#include "selection/ui/SelectionInput.h"
#include "selection/ui/SelectionView.h"

#include "drawing/DelimitedTable.h"
#include <QImage>

#include <QWidget>
#include <cstdint>

class CSfHead;
class QPainter;
struct PlotRect;
class QMenu;
class ViewServices;
struct SfTask;

class CHeadWnd : public QWidget, private SelectionView {
    Q_OBJECT
public:
    CHeadWnd(ViewServices& services, QWidget* parent = nullptr);
    ~CHeadWnd() override;

    std::weak_ptr<PlayNotifySink> PlaySink() const { return sink_.Sink(); }

    // The drawing area: the window less 22 pixels on the left, 4 at the top
    // and right, 16 at the bottom.
    QRect PlotRect() const;
    // Draws the current head afresh and shows its selection in the info text.
    void Refresh();
    // The info text of the current head's selection.
    std::string InfoText() const;

    // The context menu, its commands enabled while there is a current head.
    QMenu* CreateContextMenu();
    // The context-menu commands.
    void ShowInfo();
    void RunTaskDialog();
    void SetMethod(int method);
    // Export Data: the overview of every channel (OverviewTable).
    DataTable ExportTable() const;
    void ExportData();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CSfHead* Head() const;
    // The whole file across the plot.
    TimePlot Axis() const;
    int ChannelOfRow(int y) const;
    QRect SelectionRect(const SfTask& task) const;
    void SelectionToTask();
    void ShowInfoText();
    // Shows an edit of the selection: the pixels as the user set them.
    void ShowEdit();
    // The selection pixels from the task frames, unless the frames are the
    // ones the user's last edit gave: a repaint must not move what the user
    // set by the pixel (frame to pixel truncates).
    void PixelsFromFrames();
    // The editing of the selection: the editor over the pixels as they
    // stand; an edit goes into the task block and the frames, a press or a
    // drag choosing the channel under the pointer as well.
    bool Editable() const override;
    bool InPlot(const QPoint& at) const override;
    SelectionEditor Editor() override;
    void Store(const SelectionEditor& editor) override;
    void StorePointerEdit(const SelectionEditor& editor, const QPoint& at) override;
    void StoreHover(const SelectionEditor& editor) override;
    void PlayStep() override;
    bool HandleKey(QKeyEvent* event);
    void OnPlayNotify(const PlayNotifyEvent& event);
    // The overview of the current head, drawn once per size and method.
    const QImage& PlotImage();
    // A line between the strips of the channels and the name of each, L and
    // R for two, 1, 2, ... for more, at the strip's top left.
    void DrawChannelLabels(QPainter& p, const ::PlotRect& r, int channels) const;

    ViewServices& services_;
    PlaySinkHolder sink_;
    // Playback this window started and whose first report has not come yet.
    int ownStarts_ = 0;
    // The playback reporting now was started here, not in an analysis window.
    bool ownPlayback_ = false;
    // Where the cursor stood before playback started elsewhere moved it: it
    // goes back there when that playback ends.
    const CSfHead* movedHead_ = nullptr;
    int cursorBeforePlay_ = 0;
    // The plain rules: moves count only inside the plot, any button but the
    // left one lets the pointer choose the edge, and a step that does not fit
    // passes the key on.
    SelectionInput selection_;
    // What the selection pixels were last set for: the head, its task frames
    // and the plot width, and the pixels themselves as they were left.
    struct PixelBasis {
        const CSfHead* head = nullptr;
        uint32_t start = 0;
        uint32_t end = 0;
        int width = 0;
        int left = 0;
        int right = 0;
        bool operator==(const PixelBasis& o) const {
            return head == o.head && start == o.start && end == o.end && width == o.width &&
                   left == o.left && right == o.right;
        }
    };
    PixelBasis Basis() const;
    PixelBasis pixelBasis_;
    QImage plot_;
    const void* plotKey_ = nullptr;
    int plotMethod_ = 0;
};
