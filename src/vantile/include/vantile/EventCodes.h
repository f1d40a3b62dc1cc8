#pragma once
// The codes mouse and key events carry: a button as 1 (left), 2 (right) or 4 (middle), a set of
// buttons as their sum, and the shift state as 1 (Shift) + 2 (Ctrl) + 4 (Alt). The control's
// events use them, and a host that raises events of the same shape for its own surfaces uses
// them too, so both read the same way.

#include <Qt>

namespace vantile {

inline short ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

inline short ButtonsCode(Qt::MouseButtons buttons) {
    short mask = 0;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons.testFlag(b)) {
            mask = static_cast<short>(mask | ButtonCode(b));
        }
    }
    return mask;
}

inline short ShiftCode(Qt::KeyboardModifiers modifiers) {
    return static_cast<short>((modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
                              (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
                              (modifiers.testFlag(Qt::AltModifier) ? 4 : 0));
}

}  // namespace vantile
