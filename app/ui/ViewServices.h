// What the head window, the analysis views and their dialogs need from the
// program around them. The application answers with its tree, player,
// settings and data log; a test answers with fakes and real files, so a view
// can be built and driven without the whole program.
#pragma once

#include <memory>
#include <string>

class CSfBase;
class CSfHead;
class CSfPlay;
class CSfSettings;
class DesktopServices;
class PlayNotifySink;
class SettingsStore;

class ViewServices {
public:
    virtual ~ViewServices() = default;

    // The head the head window shows and its menu acts on; null when none.
    virtual CSfHead* CurrentHead() const = 0;
    // Selects the item's tree node (its head becomes the current head).
    virtual void SelectItem(CSfBase* item) = 0;
    // Removes the item's node with everything under it, closing their windows.
    virtual void RemoveItem(CSfBase* item) = 0;
    // Inserts an item of the request's kind (InsertRequest) for source.
    virtual void InsertItem(int request, CSfBase* source) = 0;

    virtual CSfPlay& Player() = 0;
    // The head window's playback sink: windows that play pass it so that the
    // head window's cursor follows the sound as well.
    virtual std::weak_ptr<PlayNotifySink> HeadPlaySink() const = 0;
    // Draws the head window again, as after a change of the current task.
    virtual void RefreshHeadWindow() = 0;

    // The width in pixels the analyses size their columns by: the primary
    // screen's, decided at start-up.
    virtual int ScreenWidth() const = 0;

    // The analysis settings, as loaded at start-up.
    virtual const CSfSettings& Settings() const = 0;
    // The same settings, for a choice a window remembers for the windows to come.
    virtual CSfSettings& EditableSettings() = 0;
    // The settings file, for values read afresh where they are used.
    virtual SettingsStore& Store() = 0;
    // Info text box, message boxes, raw-format dialog and wait cursor.
    virtual DesktopServices& Desktop() = 0;
    // Appends one measurement line (it carries its own "\n") to the data log.
    virtual void WriteDataLog(const std::string& line) = 0;
};
