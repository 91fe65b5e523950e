// Command ids of menus, accelerators and toolbar buttons. Views and the
// application route commands by these numbers.
#pragma once

namespace Cmd {
enum : int {
    ViewHead = 135,
    ViewProject = 137,
    FileOpen = 32771,
    OptionsAnalysis = 32772,
    ViewInsertSon = 32780,
    ViewShowInfo = 32781,
    ViewInsertFft = 32782,
    HeadInsertSon = 32788,
    HeadShowInfo = 32789,
    OptionsPlay = 32790,
    ViewTask = 32791,
    HeadTask = 32792,
    HeadInsertWav = 32793,
    MethodRms = 32794,
    MethodWav = 32795,
    SaveBmp = 32797,
    ViewInsertWav = 32798,
    HeadInsertFft = 32799,
    InsertCepFreq = 32800,
    ViewShowPitch = 32801,
    FileExportData = 32802,
    FileExportImage = 32803,
    HeadExportData = 32804,
    PrintSetup = 57606,
    FilePrint = 57607,
    PrintPreview = 57609,
    EditCopy = 57634,
    WindowArrange = 57649,
    WindowCascade = 57650,
    WindowTile = 57651,
    AppAbout = 57664,
    AppExit = 57665,
    HelpTopics = 57667,
    ContextHelp = 57669,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
};
} // namespace Cmd

// Messages a view sends the main frame to insert an item for its own item.
namespace InsertRequest {
enum : int { Sonagram = 0x401, Spectrum = 0x402, Waveform = 0x403 };
}
