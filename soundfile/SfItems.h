// The analysis items: an opened sound file (a head) and the analyses inserted
// under it. The project tree owns every item; an item knows the window that
// shows it without owning it.
#pragma once

#include "soundfile/SfInfo.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

class CSfHead;

// What GetKind answers: the kind of an item, and the tree icon it gets.
enum ItemKind : int {
    kKindHead = 0,
    kKindAna = 1,
    kKindSon = 2,
    kKindFft = 3,
    kKindRms = 4,
    kKindWav = 5,
};

class CSfBase {
public:
    CSfBase() = default;
    virtual ~CSfBase() = default;
    CSfBase(const CSfBase&) = delete;
    CSfBase& operator=(const CSfBase&) = delete;

    virtual CSfHead* GetHead() { return nullptr; }
    // Fills task with the item's range, channel and flags; the base leaves it as it is.
    virtual SfTask& GetTask(SfTask& task) const { return task; }
    virtual int GetKind() const { return -1; }

    // The window that shows the item; null once that window is gone.
    QObject* GetWindow() const { return window_.data(); }
    void AttachWindow(QObject* window) { window_ = window; }
    std::string GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

private:
    QPointer<QObject> window_;
    std::string name_;
};

// One opened sound file. Its file stays open for the head's whole life.
class CSfHead : public CSfBase {
public:
    CSfHead();
    ~CSfHead() override;

    CSfHead* GetHead() override { return this; }
    SfTask& GetTask(SfTask& task) const override;
    int GetKind() const override { return kKindHead; }

    SfInfo& Info() { return *info_; }
    const SfInfo& Info() const { return *info_; }
    // Closes the sound file; reads afterwards find nothing.
    void CloseFile();

private:
    std::unique_ptr<SfInfo> info_;
};

// Kinds that exist only by name: no command creates them.
class CSfAna : public CSfBase {
public:
    int GetKind() const override { return kKindAna; }
};

class CSfRms : public CSfBase {
public:
    int GetKind() const override { return kKindRms; }
};
