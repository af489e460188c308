#pragma once
// Key codes: a Qt key event mapped to the classic virtual-key codes the key tables use.
#include <QKeyEvent>

namespace forms {

namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27,
              Space = 32, PageUp = 33, PageDown = 34, End = 35, Home = 36, Left = 37, Up = 38,
              Right = 39, Down = 40, Insert = 45, Delete = 46, Numpad0 = 96, Multiply = 106,
              Add = 107, Separator = 108, Subtract = 109, Decimal = 110, Divide = 111, F1 = 112,
              F12 = 123;
}

// The key code of `key` with `modifiers` (Qt::KeypadModifier marks the numeric keypad);
// 0 for a key without a code.
int keyCode(int key, Qt::KeyboardModifiers modifiers);
inline int keyCode(const QKeyEvent* e) { return keyCode(e->key(), e->modifiers()); }

}  // namespace forms
