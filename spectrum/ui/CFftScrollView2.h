// The frame pane of a spectrum window, below the spectrum: the analysed frame
// of an item at an instant, or the min/max envelope of its range, over a
// percent amplitude axis and a time axis. The user measures periods between
// samples or zero crossings from the program-wide mark, and the fundamental
// frequency of the frame from its zero crossings.
#pragma once

#include "app/ui/CBaseScrollView.h"
#include "app/ui/QtPlaySink.h"
#include "drawing/ScaleMath.h"

#include <QImage>
#include <QRect>
#include <memory>

class CFftScrollView;
class CSfFft;
class ViewServices;

class CFftScrollView2 : public CBaseScrollView {
    Q_OBJECT
public:
    // The pane shows the item of spectrum, the pane above it, which computes
    // the frame this one draws.
    CFftScrollView2(ViewServices& services, CFftScrollView& spectrum, QWidget* parent = nullptr);
    // Stops playback: it may be this window's.

    QSize sizeHint() const override;
    CSfBase* GetItem() const override;
    // Insert Fft and Show Info of this window are those of its spectrum.
    void ShowInfo() override;
    bool ExportsData() const override { return true; }
    DataTable ExportTable() const override;

    // Where playback of the window's range reports its position.
    std::weak_ptr<PlayNotifySink> PlaySink() const { return sink_.Sink(); }

    // The mark index that key S sets, shared by the frame panes of all
    // spectrum windows.
    static int Mark();

protected:
    bool TakesKey(const QKeyEvent* key) const override;
    bool HandleKey(QKeyEvent* event) override;
    void OnPlayNotify(const PlayNotifyEvent& event) override;
    void StyleChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QMenu* CreateContextMenu() override;

private:
    CSfFft* Item() const;
    // The spectrum pane has computed the frame, and the frame lies in the file.
    bool Drawable() const;
    PlotRect Plot() const;
    const QImage& PlotImage();
    // The pixels of the cursor line; empty when it lies at or left of the plot.
    QRect CursorRect() const;
    void MoveCursorLine(int x);
    void Play();

    CFftScrollView& spectrum_;
    PlaySinkHolder sink_;
    QImage plot_;
    // The frame the cached picture shows: the pane may paint before the
    // spectrum pane has computed it.
    const void* plotFrame_ = nullptr;
    int cursorIndex_ = 0;
    int cursorX_ = 0;
    int mode_ = 0;
};
