#include "sonagram/ui/SonagramWindows.h"

#include "app/ui/DocTemplate.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ui/CSonDoc.h"
#include "sonagram/ui/CSonFrm.h"
#include "sonagram/ui/CSonScrollView.h"
#include "soundfile/CSfSettings.h"

std::unique_ptr<CSfBase> MakeSonagramItem(CSfBase& source, const CSfSettings& settings) {
    std::unique_ptr<CSfSon> item = CSfSon::Create(source, settings.Son());
    if (!item || item->Range().length == 0)
        return nullptr;
    return item;
}

std::unique_ptr<DocTemplate> MakeSonagramTemplate(ViewServices& services,
                                                  std::function<CSfBase*()> pending) {
    return std::make_unique<DocTemplate>(
        services,
        [pending = std::move(pending)]() -> std::unique_ptr<CBaseDoc> {
            auto* item = dynamic_cast<CSfSon*>(pending());
            if (!item)
                return nullptr;
            auto document = std::make_unique<CSonDoc>(item);
            document->SetTitle(item->GetName());
            return document;
        },
        [&services](std::unique_ptr<CBaseDoc> document) -> CBaseScrollView* {
            return new CSonScrollView(services, std::move(document));
        },
        [&services](CBaseScrollView* view) -> CBaseFrm* {
            return new CSonFrm(services, static_cast<CSonScrollView*>(view));
        });
}
