// The base of every analysis view: its item, its context menu, and what
// activating it does to the head window and the project tree.
#pragma once

#include "drawing/DelimitedTable.h"
#include "drawing/ScaleMath.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class CBaseDoc;
class CSfBase;
class PlayNotifyEvent;
class QMenu;
class QPainter;
class ViewServices;

class CBaseScrollView : public QWidget {
    Q_OBJECT
public:
    CBaseScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                    QWidget* parent = nullptr);
    ~CBaseScrollView() override;

    CBaseDoc* Document() const { return document_.get(); }
    virtual CSfBase* GetItem() const;
    // Shows this view's range in the head window (task words 1 to 3).
    virtual void PublishTask() {}
    virtual void ShowInfo() {}

    // Called when the view's frame becomes the active window.
    void Activated();

    // Printing: every analysis window prints one page through its main view
    // (the spectrum pane, the waveform view, the sonagram view with its RMS
    // strip below the image). PrintedPlot lays the page out: the rectangle,
    // in device pixels of a printable area width x height at dpi, that the
    // framed axes enclose; none for a view without a printed form or with
    // nothing computed. PrintPage then draws the title, the framed axes and
    // the curves or the image into plot, with pens sized from dpi; plot has
    // been checked to fit the page. Cursors, marks and selections never go on
    // paper.
    virtual std::optional<PlotRect> PrintedPlot(int width, int height, int dpi) const;
    virtual void PrintPage(QPainter& painter, const PlotRect& plot, int dpi);

    // Exporting: a view with numbers of its own (ExportsData) gives them as a
    // table with column names and units, empty while nothing is computed;
    // File > Export Data and the view's popup write it. Every view's window
    // exports its picture.
    virtual bool ExportsData() const { return false; }
    virtual DataTable ExportTable() const { return {}; }
    // The path of the analysed sound file, which an export never replaces;
    // empty without an item.
    std::string SoundFilePath() const;

protected:
    ViewServices& Services() const { return services_; }
    // A view has no natural size of its own: a new window takes three
    // quarters of the MDI area, room to work in, instead of collapsing to its
    // title bar.
    QSize WindowSizeHint() const;
    // The view's own popup; null when it has none.
    virtual QMenu* CreateContextMenu() { return nullptr; }
    // A new popup that starts with "Insert &Wav", "Insert &Fft" and
    // "Insert &Son": analyses of this view's item, disabled without one.
    QMenu* NewInsertMenu();
    // The keys the view takes before any shortcut of the main window.
    virtual bool TakesKey(const QKeyEvent*) const { return false; }
    // The view's own keys; false passes the key on.
    virtual bool HandleKey(QKeyEvent*) { return false; }
    // A playback position or event for a window that follows the sound.
    virtual void OnPlayNotify(const PlayNotifyEvent&) {}
    // The desktop's colours, fonts or style changed: drop what was drawn
    // with the old ones. The whole view is repainted afterwards.
    virtual void StyleChanged() {}

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Every analysis window saves its picture on Ctrl+B and copies it on
    // Ctrl+C; Shift+F10 opens its menu; then come the view's own keys.
    void keyPressEvent(QKeyEvent* event) override;

    // "Export Data..." (for a view that ExportsData) and "Export Image...",
    // added at the end of every popup the view has.
    void AddExportEntries(QMenu& menu);

private:
    void OpenContextMenu(const QPoint& globalPos);
    ViewServices& services_;
    std::unique_ptr<CBaseDoc> document_;
};
