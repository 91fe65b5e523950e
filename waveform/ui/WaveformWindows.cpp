#include "waveform/ui/WaveformWindows.h"

#include "app/ui/CBaseDoc.h"
#include "app/ui/DocTemplate.h"
#include "waveform/CSfWav.h"
#include "waveform/ui/CWavScrollView.h"

std::unique_ptr<CSfBase> MakeWaveformItem(CSfBase& source) {
    if (!source.GetHead())
        return nullptr;
    auto item = std::make_unique<CSfWav>(source);
    if (item->Range().length == 0)
        return nullptr;
    return item;
}

std::unique_ptr<DocTemplate> MakeWaveformTemplate(ViewServices& services,
                                                  std::function<CSfBase*()> pending) {
    return std::make_unique<DocTemplate>(
        services,
        [pending = std::move(pending)]() -> std::unique_ptr<CBaseDoc> {
            CSfBase* item = pending();
            if (!item || item->GetKind() != kKindWav)
                return nullptr;
            auto document = std::make_unique<CBaseDoc>(item);
            document->SetTitle(item->GetName());
            return document;
        },
        [&services](std::unique_ptr<CBaseDoc> document) -> CBaseScrollView* {
            return new CWavScrollView(services, std::move(document));
        });
}
