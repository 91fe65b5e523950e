// The spectrum window kind: its items, documents and views.
#pragma once

#include <functional>
#include <memory>

class CSfBase;
class CSfSettings;
class DocTemplate;
class ViewServices;

// A spectrum item for the task of source with the "Fft" defaults of settings,
// or null when source has no head or its selection box has no width.
std::unique_ptr<CSfBase> MakeSpectrumItem(CSfBase& source, const CSfSettings& settings);

// The template that opens a spectrum window on the item that pending returns
// (the project tree's pending item), if that is a spectrum.
std::unique_ptr<DocTemplate> MakeSpectrumTemplate(ViewServices& services,
                                                  std::function<CSfBase*()> pending);
