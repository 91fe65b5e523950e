// The waveform window kind: its items, documents and views.
#pragma once

#include <functional>
#include <memory>

class CBaseDoc;
class CSfBase;
class DocTemplate;
class ViewServices;

// A waveform item for the task of source, or null when that task is empty.
std::unique_ptr<CSfBase> MakeWaveformItem(CSfBase& source);

// The template that opens a waveform window on the item that pending names:
// the project tree's pending item, taken by the new document.
std::unique_ptr<DocTemplate> MakeWaveformTemplate(ViewServices& services,
                                                  std::function<CSfBase*()> pending);
