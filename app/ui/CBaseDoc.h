// A document: binds an analysis window to the item it shows. The project
// tree owns the item; the document only points at it.
#pragma once

#include <string>

class CSfBase;

class CBaseDoc {
public:
    explicit CBaseDoc(CSfBase* item) : item_(item) {}
    virtual ~CBaseDoc() = default;
    CBaseDoc(const CBaseDoc&) = delete;
    CBaseDoc& operator=(const CBaseDoc&) = delete;

    // The item, or null once the project tree has removed it while the
    // window was still closing.
    CSfBase* Item() const { return item_; }
    void ForgetItem() { item_ = nullptr; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

private:
    CSfBase* item_;
    std::string title_;
};
