#include "app/ui/CBaseScrollView.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/ExportFiles.h"
#include "app/ui/QtPlaySink.h"
#include "app/ui/ViewKeys.h"
#include "app/ui/ViewServices.h"
#include "app/ui/WindowImage.h"
#include "playback/CSfPlay.h"
#include "resources/CommandIds.h"
#include "soundfile/SfItems.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>

CBaseScrollView::CBaseScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                                 QWidget* parent)
    : QWidget(parent), services_(services), document_(std::move(document)) {
    setFocusPolicy(Qt::StrongFocus);
}

// Closing an analysis window silences the sound it may be playing.
CBaseScrollView::~CBaseScrollView() {
    services_.Player().StopPlay();
}

CSfBase* CBaseScrollView::GetItem() const {
    return document_ ? document_->Item() : nullptr;
}

QSize CBaseScrollView::WindowSizeHint() const {
    if (const CBaseFrm* frame = CBaseFrm::Of(const_cast<CBaseScrollView*>(this)))
        if (const QMdiArea* area = frame->mdiArea())
            return area->viewport()->size() * 3 / 4;
    return QSize(640, 320);
}

std::optional<PlotRect> CBaseScrollView::PrintedPlot(int, int, int) const {
    return std::nullopt;
}

void CBaseScrollView::PrintPage(QPainter&, const PlotRect&, int) {}

void CBaseScrollView::Activated() {
    PublishTask();
    if (CSfBase* item = GetItem())
        services_.SelectItem(item);
}

void CBaseScrollView::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu opens just inside the view's top-left corner.
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                  : mapToGlobal(QPoint(5, 5));
    OpenContextMenu(at);
}

bool CBaseScrollView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsCopyKey(key) || IsSaveKey(key) || TakesKey(key)) {
            event->accept();
            return true;
        }
    }
    if (event->type() == PlayNotifyEvent::EventType()) {
        OnPlayNotify(static_cast<PlayNotifyEvent&>(*event));
        return true;
    }
    return QWidget::event(event);
}

void CBaseScrollView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange) {
        StyleChanged();
        update();
    }
    QWidget::changeEvent(event);
}

void CBaseScrollView::keyPressEvent(QKeyEvent* event) {
    if (IsCopyKey(event)) {
        CopyWindowToClipboard(CBaseFrm::Of(this));
    } else if (IsSaveKey(event)) {
        SaveWindowBmp(CBaseFrm::Of(this));
    } else if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        OpenContextMenu(mapToGlobal(QPoint(5, 5)));
    } else if (!HandleKey(event)) {
        QWidget::keyPressEvent(event);
    }
}

std::string CBaseScrollView::SoundFilePath() const {
    CSfBase* item = GetItem();
    CSfHead* head = item ? item->GetHead() : nullptr;
    return head ? head->Info().path : std::string();
}

void CBaseScrollView::OpenContextMenu(const QPoint& globalPos) {
    // A pane without a popup of its own (the sonagram's level pane) exports
    // through the File menu.
    std::unique_ptr<QMenu> menu(CreateContextMenu());
    if (!menu)
        return;
    menu->addSeparator();
    AddExportEntries(*menu);
    menu->exec(globalPos);
}

void CBaseScrollView::AddExportEntries(QMenu& menu) {
    if (ExportsData()) {
        QAction* data = menu.addAction(QStringLiteral("Export &Data..."));
        data->setData(Cmd::FileExportData);
        connect(data, &QAction::triggered, this, [this] { ExportViewData(*this, services_); });
    }
    QAction* image = menu.addAction(QStringLiteral("Export I&mage..."));
    image->setData(Cmd::FileExportImage);
    connect(image, &QAction::triggered, this, [this] { ExportViewImage(*this, services_); });
}

QMenu* CBaseScrollView::NewInsertMenu() {
    auto* menu = new QMenu(this);
    const bool hasItem = GetItem() != nullptr;
    const auto insert = [&](const char* text, int id, int request) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setData(id);
        action->setEnabled(hasItem);
        connect(action, &QAction::triggered, this, [this, request] {
            if (CSfBase* item = GetItem())
                services_.InsertItem(request, item);
        });
    };
    insert("Insert &Wav", Cmd::ViewInsertWav, InsertRequest::Waveform);
    insert("Insert &Fft", Cmd::ViewInsertFft, InsertRequest::Spectrum);
    insert("Insert &Son", Cmd::ViewInsertSon, InsertRequest::Sonagram);
    return menu;
}
