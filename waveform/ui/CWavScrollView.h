// The view of a waveform window: one channel of a range as amplitude over
// time, with a percent amplitude axis and a time axis, and the cursor and
// block the user sets with the mouse, the keys or the task dialog. The
// cursor and block live in the item's task words, so that items inserted from
// this window analyse them.
#pragma once

#include "app/ui/CBaseScrollView.h"
#include "app/ui/QtPlaySink.h"
#include "selection/FrameSelection.h"
#include "selection/ui/SelectionInput.h"
#include "selection/ui/SelectionView.h"

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>

class CSfWav;
class ViewServices;
struct PlotRect;

class CWavScrollView : public CBaseScrollView, private SelectionView {
    Q_OBJECT
public:
    // Builds the item's envelope and starts with the cursor at the range
    // start and no block.
    CWavScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                   QWidget* parent = nullptr);
    // Stops playback: it may be this window's.

    QSize sizeHint() const override;

    // Shows this window's range and channel in the head window.
    void PublishTask() override;

    // One page: the curve in a framed time axis and a "Percentage" axis under
    // a title naming the file, channel and range.
    std::optional<PlotRect> PrintedPlot(int width, int height, int dpi) const override;
    bool ExportsData() const override { return true; }
    DataTable ExportTable() const override;
    void PrintPage(QPainter& painter, const PlotRect& plot, int dpi) override;

    // The Task command: the block typed in, inside the range.
    void RunTaskDialog();

protected:
    bool TakesKey(const QKeyEvent* key) const override;
    bool HandleKey(QKeyEvent* event) override;
    void OnPlayNotify(const PlayNotifyEvent& event) override;
    void StyleChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QMenu* CreateContextMenu() override;

private:
    CSfWav* Item() const;
    // An item with a head and frames to show: the window draws.
    bool Drawable() const;
    // Drawable, with envelope values and a plot of some size: the cursor,
    // block, mouse, keys and info text work.
    bool Editable() const override;

    // The curve area: 28 pixels on the left for the amplitude labels, 4 at
    // the top and right, 15 at the bottom for the time labels. Right and
    // bottom are exclusive, so the width is right - left.
    PlotRect Plot() const;
    bool InPlot(const QPoint& at) const override;
    int EnvelopeCount() const;
    // The range across the plot.
    TimePlot Axis() const;
    double SecondsOfPixel(int x) const;

    // The cursor and block as the task words hold them: in frames, and as
    // the pixels and envelope index the user set.
    FrameSelection Frames() const;
    void SetFrames(const FrameSelection& frames);
    Selection Pixels() const;
    void SetPixels(const Selection& pixels);

    // The editing of the cursor and block: the editor over this plot and the
    // envelope's indices; an edit takes the pixels, then the frames it moved,
    // and shows the info text.
    SelectionEditor Editor() override;
    void Store(const SelectionEditor& editor) override;
    void StoreHover(const SelectionEditor& editor) override;
    void PlayStep() override;
    // The cursor and block pixels from the task frames, as after a change of
    // size; the frames stay.
    void PixelsFromFrames();

    std::string InfoText() const;
    void ShowInfoText();

    // Background, axes and curve, drawn once per size.
    const QImage& PlotImage();

    PlaySinkHolder sink_;
    // The block's left and right pixel columns; equal when there is no block.
    int blockLeft_;
    int blockRight_;
    SelectionInput selection_;
    // The info text waits for the end of a layout pass.
    bool infoPending_ = false;
    QImage plot_;
};
