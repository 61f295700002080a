#pragma once
// Qt's key codes and modifiers in the logic's terms.
#include <Qt>
#include <cstdint>

#include "core/keys.h"

namespace quorby {

struct MappedKey {
    Key key = Key::None;
    std::uint32_t modifiers = kNoModifier;
};

// Key::None for keys the logic has no name for (modifier keys alone, media
// keys, most punctuation). Keypad keys count as their main-block twins.
MappedKey mapQtKey(int qtKey, Qt::KeyboardModifiers modifiers);

std::uint32_t mapQtModifiers(Qt::KeyboardModifiers modifiers);

}  // namespace quorby
