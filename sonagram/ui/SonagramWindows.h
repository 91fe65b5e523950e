// The sonagram window kind: its items, documents and views.
#pragma once

#include <functional>
#include <memory>

class CSfBase;
class CSfSettings;
class DocTemplate;
class ViewServices;

// A sonagram item for the task of source with the "Son" defaults of settings,
// or null when source has no head or its task is no range (start = end).
std::unique_ptr<CSfBase> MakeSonagramItem(CSfBase& source, const CSfSettings& settings);

// The template that opens a sonagram window on the item that pending returns
// (the project tree's pending item), if that is a sonagram.
std::unique_ptr<DocTemplate> MakeSonagramTemplate(ViewServices& services,
                                                  std::function<CSfBase*()> pending);
