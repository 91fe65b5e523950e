// The waveform window kind: its items, documents and views.
#pragma once

#include <memory>

class CBaseDoc;
class CProjectTree;
class CSfBase;
class DocTemplate;
class ViewServices;

// A waveform item for the task of source, or null when that task is empty.
std::unique_ptr<CSfBase> MakeWaveformItem(CSfBase& source);

// The template that opens a waveform window on the item pending in tree.
std::unique_ptr<DocTemplate> MakeWaveformTemplate(CProjectTree& tree, ViewServices& services);
