#include "app/ui/DocTemplate.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"

#include <QMdiArea>

CBaseScrollView* DocTemplate::OpenDocument(QMdiArea& area) const {
    std::unique_ptr<CBaseDoc> document = makeDocument_();
    if (!document || !document->Item())
        return nullptr;
    CBaseScrollView* view = makeView_(std::move(document));
    CBaseFrm* frame = makeFrame_ ? makeFrame_(view) : new CBaseFrm(services_, view);
    area.addSubWindow(frame);
    frame->show();
    view->setFocus();
    return view;
}
