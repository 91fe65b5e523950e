// Creates the document, the view and the child frame of one kind of
// analysis window, and shows them in the main frame's MDI area.
#pragma once

#include <functional>
#include <memory>

class CBaseDoc;
class CBaseFrm;
class CBaseScrollView;
class QMdiArea;
class ViewServices;

class DocTemplate {
public:
    // makeDocument takes the item pending for this kind from the project tree.
    using DocumentFactory = std::function<std::unique_ptr<CBaseDoc>()>;
    using ViewFactory = std::function<CBaseScrollView*(std::unique_ptr<CBaseDoc>)>;
    // makeFrame puts the view into a child frame; without one the view alone
    // is the frame's widget.
    using FrameFactory = std::function<CBaseFrm*(CBaseScrollView*)>;

    DocTemplate(ViewServices& services, DocumentFactory makeDocument, ViewFactory makeView,
                FrameFactory makeFrame = {})
        : services_(services), makeDocument_(std::move(makeDocument)),
          makeView_(std::move(makeView)), makeFrame_(std::move(makeFrame)) {}

    // A new, visible window; its view, or null when there was no pending item.
    CBaseScrollView* OpenDocument(QMdiArea& area) const;

private:
    ViewServices& services_;
    DocumentFactory makeDocument_;
    ViewFactory makeView_;
    FrameFactory makeFrame_;
};
