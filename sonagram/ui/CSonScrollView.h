// The image pane of a sonagram window: the grey-level image of one channel
// of a range over a time and a frequency scale, with the cursor line and the
// selection the user sets with the mouse, the keys or the task dialog. The
// selection, cursor and flags live in the item's parameter record, so that
// items inserted from this window analyse the selection.
#pragma once

#include "app/ui/CBaseScrollView.h"
#include "app/ui/QtPlaySink.h"
#include "drawing/FrequencyAxis.h"
#include "selection/FrameSelection.h"
#include "selection/ui/SelectionInput.h"
#include "selection/ui/SelectionView.h"
#include "sonagram/SonReadout.h"
#include "sonagram/SonagramCells.h"
#include "sonagram/ui/SonPitchOverlay.h"
#include "soundfile/FftSettings.h"

#include <QImage>
#include <QRegion>
#include <cstdint>
#include <optional>

class CSfSon;
class ViewServices;
struct PlotRect;

// The pixels the cursor line at column x inverts in both panes of a sonagram
// window: the plot's height, nothing on or outside its left and right edges.
QRegion SonCursorLineRegion(const PlotRect& plot, int x);

class CSonScrollView : public CBaseScrollView, private SelectionView {
    Q_OBJECT
public:
    CSonScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                   QWidget* parent = nullptr);
    // Stops playback: it may be this window's.

    QSize sizeHint() const override;
    CSfSon* Item() const;
    // The sonagram has been computed and there is a range to show.
    bool Drawable() const;
    // The image: W columns (frames) by H rows (bins), black the loudest;
    // null before the first update or when the sonagram has no rows.
    const QImage& Image() const { return image_; }
    // The cells with their levels, in the rows of the frequency axis.
    const SonagramCells& Cells() const { return cells_; }

    // The colour map the image is drawn with; choosing one redraws the image
    // from the cells, without computing them again, and keeps the choice in
    // the settings for new sonagrams.
    int32_t ColourMap() const { return map_; }
    void SetColourMap(int32_t map);
    // The item's frequency axis over the image's height.
    FrequencyAxis FreqAxis() const;
    // What the image shows at pixel (x, y) of the window.
    SonReadout ReadoutAt(int x, int y) const;
    // The point the readout lines of the info text are taken at: the pointer
    // over the image, or where the cursor was last set. None before either.
    std::optional<QPoint> ReadoutPoint() const { return readoutPoint_; }
    // The image area (see Plot below), for the tests that point into it.
    PlotRect ImageRect() const { return Plot(); }
    // The pixels the colour bar takes at the right of the image, 0 for the
    // grey ramp; the level pane below keeps the same room, so that both
    // panes put a time at the same x.
    int ColourBarRoom() const;

    // Shows this window's range and channel in the head window.
    void PublishTask() override;
    void ShowInfo() override;

    // The Task command: the selection typed in, inside the range.
    void RunTaskDialog();

    // Key F and Show Pitch: the pitch contour over the image, and its line in
    // the info text, shown or hidden.
    void TogglePitch();
    const SonPitchOverlay& Pitch() const { return pitch_; }
    // Export Data: the pitch contour (time_s, f0_hz) while it is shown, else
    // the levels of the cells.
    bool ExportsData() const override { return pitch_.Shown() || cells_.HasLevels(); }
    DataTable ExportTable() const override;

    // On paper the image fills the upper part of the frame and the level
    // curve a strip below it, with their level axes left of them and the
    // time axis framing both.
    std::optional<PlotRect> PrintedPlot(int width, int height, int dpi) const override;
    void PrintPage(QPainter& painter, const PlotRect& plot, int dpi) override;

protected:
    bool TakesKey(const QKeyEvent* key) const override;
    bool HandleKey(QKeyEvent* event) override;
    void OnPlayNotify(const PlayNotifyEvent& event) override;
    void StyleChanged() override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QMenu* CreateContextMenu() override;

private:
    // Computes the sonagram and its image, then starts with the cursor at the
    // range start and no selection.
    void InitialUpdate();
    // Drawable, with a plot of some size: the cursor, selection, mouse, keys
    // and info text work.
    bool Editable() const override;

    // The image area: 28 pixels on the left for the frequency labels, 4 at
    // the top and right, 15 at the bottom for the time labels. Right and
    // bottom are exclusive, so the width is right - left.
    PlotRect Plot() const;
    bool InPlot(const QPoint& at) const override;
    // The range across the plot.
    TimePlot Axis() const;

    // The cursor and selection as the parameter record holds them: in
    // frames, and as the pixels the user set.
    FrameSelection Frames() const;
    void SetFrames(const FrameSelection& frames);
    Selection Pixels() const;
    void SetPixels(const Selection& pixels);

    // The editing of the cursor and selection: an edit takes the pixels, then
    // the frames it moved, the info text, and a repaint of the strips that
    // changed.
    SelectionEditor Editor() override;
    void Store(const SelectionEditor& editor) override;
    void StoreHover(const SelectionEditor& editor) override;
    void PlayStep() override;
    // The cursor and selection pixels from their frames, as after a change of
    // size; the frames stay.
    void PixelsFromFrames();
    // The pixels the cursor line and the selection invert.
    QRegion CursorRegion() const;
    QRegion SelectionRegion() const;
    // Repaints what changed since the marks covered before.
    void UpdateMarks(const QRegion& cursorBefore, const QRegion& selectionBefore);

    void ShowInfoText();
    // The info text once the current layout pass or paint is over: the info
    // box repaints at once.
    void ShowInfoTextLater();

    // Key P: Lfft frames from the cursor frame, or ending at it.
    void PlayFrameAtCursor(bool ending);

    // Background, image, scales and outline, drawn once per size.
    const QImage& PlotImage();
    // The colour bar shows beside every map but the stated grey.
    bool ShowsColourBar() const;
    // The row of the horizontal cursor line at the readout point's frequency.
    QRegion FrequencyLineRegion() const;
    // The readout point moves to at, inside the plot, with its line.
    void MoveReadoutPoint(const QPoint& at);

    PlaySinkHolder sink_;
    QImage image_;
    // The image as 32-bit pixels, stretched far faster than the indexed one
    // whenever the window takes a new size.
    QImage stretchable_;
    bool initialised_ = false;
    bool computed_ = false;
    // The selection's left and right pixel columns; equal when there is none.
    int selectionLeft_;
    int selectionRight_;
    SelectionInput selection_;
    bool infoPending_ = false;
    QImage plot_;
    SonPitchOverlay pitch_;
    SonagramCells cells_;
    int32_t map_ = kMapGrey;
    std::optional<QPoint> readoutPoint_;
};
