#include "selection/ui/SelectionInput.h"

#include "selection/SelectionEditor.h"
#include "selection/ui/SelectionKeys.h"
#include "selection/ui/SelectionView.h"
#include "soundfile/SfInfo.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

bool SelectionInput::Press(const QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !view_.Editable() || !view_.InPlot(at))
        return false;
    widget_.setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    SelectionEditor editor = view_.Editor();
    editor.Press(at.x(), event->modifiers() & Qt::ShiftModifier);
    view_.StorePointerEdit(editor, at);
    return true;
}

bool SelectionInput::Move(const QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const Qt::MouseButtons buttons = event->buttons();
    const bool leftHeld = buttons & Qt::LeftButton;
    const bool held = rules_.dragLeavesPlot && leftHeld && dragging_;
    if (!view_.Editable() || !(view_.InPlot(at) || held))
        return false;
    if (leftHeld) {
        if (dragging_ || !rules_.dragNeedsPress) {
            SelectionEditor editor = view_.Editor();
            editor.Drag(at.x());
            view_.StorePointerEdit(editor, at);
        }
    } else if (buttons == Qt::NoButton || !rules_.hoverNeedsNoButton) {
        SelectionEditor editor = view_.Editor();
        editor.Hover(at.x());
        view_.StoreHover(editor);
    }
    return true;
}

bool SelectionInput::Release(const QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_)
        return false;
    dragging_ = false;
    if (!rules_.releaseMovesEdge)
        return false;
    if (!view_.Editable())
        return true;
    // A click that did not move leaves the collapsed block as it is.
    const int x = event->position().toPoint().x();
    SelectionEditor editor = view_.Editor();
    const Selection& s = editor.State();
    if (x == ((s.flags & TaskFlags::kRightActive) ? s.right : s.left))
        return true;
    editor.Drag(x);
    view_.Store(editor);
    return true;
}

bool SelectionInput::Key(const QKeyEvent* event) {
    const std::optional<SelectionKey> key = SelectionKeyOf(event);
    if (!key)
        return false;
    SelectionEditor editor = view_.Editor();
    if (!editor.Key(*key, event->modifiers() & Qt::ShiftModifier,
                    event->modifiers() & Qt::ControlModifier) &&
        !rules_.refusedKeyEndsEdit)
        return false;
    view_.Store(editor);
    if (editor.Stepped())
        view_.PlayStep();
    return true;
}
