#include "spectrum/ui/SpectrumWindows.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/DocTemplate.h"
#include "soundfile/FftScale.h"
#include "spectrum/CSfFft.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView.h"

std::unique_ptr<CSfBase> MakeSpectrumItem(CSfBase& source, const CSfSettings& settings) {
    if (!source.GetHead())
        return nullptr;
    auto item = std::make_unique<CSfFft>(source, settings);
    const SfFftParam& p = item->Param();
    if ((p.view.viewFlags & kFftBoxDefined) && !(p.Fmin < p.Fmax))
        return nullptr;
    return item;
}

std::unique_ptr<DocTemplate> MakeSpectrumTemplate(ViewServices& services,
                                                  std::function<CSfBase*()> pending) {
    return std::make_unique<DocTemplate>(
        services,
        [pending = std::move(pending)]() -> std::unique_ptr<CBaseDoc> {
            CSfBase* item = pending();
            if (!item || item->GetKind() != kKindFft)
                return nullptr;
            auto document = std::make_unique<CBaseDoc>(item);
            document->SetTitle(item->GetName());
            return document;
        },
        [&services](std::unique_ptr<CBaseDoc> document) -> CBaseScrollView* {
            return new CFftScrollView(services, std::move(document));
        },
        [&services](CBaseScrollView* view) -> CBaseFrm* {
            return new CFftFrm(services, static_cast<CFftScrollView*>(view));
        });
}
