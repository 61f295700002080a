#include "platform/qt/key_mapping.h"

namespace quorby {

namespace {

Key namedKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_End: return Key::End;
    case Qt::Key_Insert: return Key::Insert;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Key::Tab;
    case Qt::Key_Space: return Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_Backspace: return Key::Backspace;
    case Qt::Key_Question: return Key::QuestionMark;
    default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return Key(int(Key::F1) + (qtKey - Qt::Key_F1));
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return Key(qtKey);  // same codes as ASCII
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return Key(qtKey);
    return Key::None;
}

}  // namespace

std::uint32_t mapQtModifiers(Qt::KeyboardModifiers modifiers) {
    std::uint32_t result = kNoModifier;
    if (modifiers & Qt::ShiftModifier) result |= kShift;
    if (modifiers & Qt::ControlModifier) result |= kCtrl;
    if (modifiers & Qt::AltModifier) result |= kAlt;
    return result;
}

MappedKey mapQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    MappedKey mapped;
    mapped.key = namedKey(qtKey);
    if (mapped.key == Key::None) return mapped;
    mapped.modifiers = mapQtModifiers(modifiers);
    // Shift+Tab arrives as Backtab, sometimes without the Shift modifier.
    if (qtKey == Qt::Key_Backtab) mapped.modifiers |= kShift;
    // '?' is a typed character: the Shift that produced it on the keyboard
    // is not part of its accelerator (Alt+?).
    if (mapped.key == Key::QuestionMark) mapped.modifiers &= ~std::uint32_t(kShift);
    return mapped;
}

}  // namespace quorby
