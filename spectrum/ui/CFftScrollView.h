// The spectrum pane of a spectrum window: the item's spectrum (and its
// cepstrally smoothed curve) over a frequency axis and a level axis, with a
// cursor over the bins, peak search, harmonic marks and a selection box that a
// spectrum inserted from this window zooms into. It computes the item's arrays
// when it is first shown; the frame pane below reads them.
#pragma once

#include "app/ui/CBaseScrollView.h"
#include "spectrum/SpectrumDisplay.h"

#include <QImage>
#include <QRegion>
#include <memory>
#include <optional>
#include <string>

class CSfFft;
class PlayNotifySink;
class ViewServices;

class CFftScrollView : public CBaseScrollView {
    Q_OBJECT
public:
    CFftScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                   QWidget* parent = nullptr);
    // Stops playback: it may be this window's.

    QSize sizeHint() const override;

    // The window's range is that of its spectrum, not a selection to show in
    // the head window: nothing to publish.
    // Shows the analysed range and channel in the head window; called when
    // the window is activated, never by painting.
    void PublishTask() override;
    void ShowInfo() override;
    void InsertFft();

    // Where playback of a range started here reports its position: the frame
    // pane, which draws it. This pane shows frequencies and draws none.
    void SetPlayFollower(std::weak_ptr<PlayNotifySink> follower);

    // One page: the spectrum in a framed frequency axis and level axis under
    // a title naming the file, channel, time and transform length.
    std::optional<PlotRect> PrintedPlot(int width, int height, int dpi) const override;
    bool ExportsData() const override { return true; }
    DataTable ExportTable() const override;
    void PrintPage(QPainter& painter, const PlotRect& plot, int dpi) override;

    CSfFft* Item() const;
    // The spectrum has been computed and can be drawn.
    bool Drawable() const;
    // The pitch of A and the notation notes are named with, taken from the
    // settings when the window was made; the frame pane below names its
    // notes the same way.
    double ReferenceHz() const { return referenceHz_; }
    int Notation() const { return notation_; }

protected:
    bool TakesKey(const QKeyEvent* key) const override;
    bool HandleKey(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void StyleChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QMenu* CreateContextMenu() override;

private:
    // Computes the spectrum and sets the cursor, box and modes as a new
    // window has them.
    void InitialUpdate();
    PlotRect Plot() const;
    // Background, axes and curves, drawn once per size; settles the
    // geometry the mouse and keys work with.
    const QImage& PlotImage();
    // The pixels the cursor line or the harmonic marks cover.
    QRegion MarkRegion() const;
    // The pixels of the selection box, empty when none is shown.
    QRect BoxRect() const;
    double CursorFrequency() const;
    void ShowInfoText();
    void Play();

    bool initialised_ = false;
    bool computed_ = false;
    std::weak_ptr<PlayNotifySink> playFollower_;
    QImage plot_;
    SpectrumGeometry geometry_;
    double referenceHz_ = 440.0;
    int notation_ = 0;
    bool peakMode_ = false;
    bool harmonics_ = false;
    // Corners of the box: where the button went down and where a Ctrl drag
    // has got to.
    PlotPoint boxAnchor_{28, 4};
    PlotPoint boxCorner_{28, 4};
    bool dragging_ = false;
};
