#include "selection/ui/SelectionKeys.h"

#include <QKeyEvent>

std::optional<SelectionKey> SelectionKeyOf(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return SelectionKey::Left;
    case Qt::Key_Right:
        return SelectionKey::Right;
    case Qt::Key_Home:
        return SelectionKey::Home;
    case Qt::Key_End:
        return SelectionKey::End;
    case Qt::Key_A:
        if (event->modifiers() & Qt::ControlModifier)
            return SelectionKey::SelectAll;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}
