// The program around a window, for window tests: settings in memory, a desktop
// that records what it is asked to show, a real player on a virtual output
// device, and records of the data-log lines and the tree requests a window
// makes.
#pragma once

#include "soundfile/MemoryStore.h"
#include "support/TestFiles.h"

#include "app/ui/ViewServices.h"
#include "playback/CSfPlay.h"
#include "playback/VirtualOutput.h"
#include "soundfile/CSfSettings.h"

#include <string>
#include <utility>
#include <vector>

class FakeViewServices : public ViewServices {
public:
    FakeViewServices();

    CSfHead* CurrentHead() const override { return currentHead; }
    void SelectItem(CSfBase* item) override { selected.push_back(item); }
    void RemoveItem(CSfBase* item) override { removed.push_back(item); }
    void InsertItem(int request, CSfBase* source) override {
        inserts.emplace_back(request, source);
    }
    CSfPlay& Player() override { return player; }
    std::weak_ptr<PlayNotifySink> HeadPlaySink() const override { return {}; }
    void RefreshHeadWindow() override { ++headRefreshes; }
    const CSfSettings& Settings() const override { return settings; }
    CSfSettings& EditableSettings() override { return settings; }
    SettingsStore& Store() override { return store; }
    DesktopServices& Desktop() override { return desktop; }
    void WriteDataLog(const std::string& line) override { dataLog.push_back(line); }
    int ScreenWidth() const override { return screenWidth; }

    // The last info text, or "" when none was shown.
    std::string LastInfo() const;

    MemoryStore store;
    RecordingDesktop desktop;
    CSfSettings settings;
    VirtualOutput output;
    CSfPlay player;

    CSfHead* currentHead = nullptr;
    std::vector<CSfBase*> selected;
    std::vector<CSfBase*> removed;
    std::vector<std::pair<int, CSfBase*>> inserts;
    std::vector<std::string> dataLog;
    int headRefreshes = 0;
    int screenWidth = 1024;
};
