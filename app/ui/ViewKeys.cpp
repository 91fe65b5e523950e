#include "app/ui/ViewKeys.h"

#include <QKeyEvent>

bool IsPlayKey(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F4;
}

bool IsStopKey(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_Escape || key == Qt::Key_F7 ||
           (key == Qt::Key_0 && (event->modifiers() & Qt::KeypadModifier));
}

bool IsSelectAll(const QKeyEvent* event) {
    return event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier);
}

bool IsCopyKey(const QKeyEvent* event) {
    return (event->key() == Qt::Key_C || event->key() == Qt::Key_Insert) &&
           (event->modifiers() & Qt::ControlModifier);
}

bool IsSaveKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_B && (event->modifiers() & Qt::ControlModifier);
}

bool IsPlainLetter(const QKeyEvent* event) {
    return !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool IsViewKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F6:
    case Qt::Key_F8:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return IsPlayKey(event) || IsStopKey(event) || IsSelectAll(event);
    }
}
