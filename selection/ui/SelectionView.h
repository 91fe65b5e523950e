// What a window with a time plot gives the selection input: whether and where
// its cursor and block can be edited, its editor as it stands, and what it
// does with an edit. The window draws; SelectionInput turns the mouse and
// the keys into editor calls.
#pragma once

#include "selection/SelectionEditor.h"

class QPoint;

class SelectionView {
public:
    // The window has a plot of some size and something to edit in it.
    virtual bool Editable() const = 0;
    virtual bool InPlot(const QPoint& at) const = 0;
    // The editor over the plot, holding the cursor and block as they stand.
    virtual SelectionEditor Editor() = 0;
    // Takes an edit of a key or of the button's release.
    virtual void Store(const SelectionEditor& editor) = 0;
    // Takes an edit the pointer made at at, pressed or dragged.
    virtual void StorePointerEdit(const SelectionEditor& editor, const QPoint& at);
    // The pointer moved without a button: only the active edge changed.
    virtual void StoreHover(const SelectionEditor& editor) = 0;
    // A cursor key moved the cursor by a step: the short piece there plays.
    virtual void PlayStep() = 0;

protected:
    ~SelectionView() = default;
};
