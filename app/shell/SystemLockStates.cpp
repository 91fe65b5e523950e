// Kept apart: the X headers define names (KeyRelease, Success) that Qt's
// event code uses.
#include "app/shell/LockKeyIndicators.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>

std::optional<LockStates> SystemLockStates() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    unsigned int state = 0;
    if (!display || XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    // The indicators of the core keyboard: Caps Lock, Num Lock, Scroll Lock.
    return LockStates{(state & 1u) != 0, (state & 2u) != 0, (state & 4u) != 0};
}
